# The dialogs' speakers (WARDEN.PCX, PRISONER.PCX, MERCHANT.PCX: the pictures
# the dialogs name, 320 x 180), the shop keeper (KUPEC.PCX, 260 x 140: the
# merchant again, as the shop screen frames him) and the joining prisoner's face and figure
# (xicht03, char03), painted by art/speaker_art.cpp with the portraits' head
# painter, turned by the forge into PCX files and packed into VORTHAN.DDL
# (the game looks a dialog picture up in the archives before the dialogs
# folder).
add_executable(demo_art_speakers ${DEMO_SRC}/art/speaker_art.cpp ${DEMO_SRC}/art/portrait_faces.cpp
  ${DEMO_SRC}/art/portrait_body.cpp
  ${DEMO_SRC}/art/portrait_head.cpp)
target_link_libraries(demo_art_speakers PRIVATE vorthan_forge)
set(DEMO_SPEAKER_ART ${CMAKE_CURRENT_BINARY_DIR}/art/speakers)
set(DEMO_SPEAKER_PICTURES warden prisoner merchant kupec xicht03 char03)
set(speaker_pngs "")
foreach(name ${DEMO_SPEAKER_PICTURES})
  list(APPEND speaker_pngs ${DEMO_SPEAKER_ART}/${name}.png)
endforeach()
add_custom_command(OUTPUT ${speaker_pngs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SPEAKER_ART}
  COMMAND demo_art_speakers ${DEMO_SPEAKER_ART}
  DEPENDS demo_art_speakers
  COMMENT "Painting the dialogs' speakers")
foreach(name ${DEMO_SPEAKER_PICTURES})
  add_custom_command(OUTPUT ${DEMO_SCREEN_PCX}/${name}.pcx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SCREEN_PCX}
    COMMAND ${FORGE} picture ${DEMO_SPEAKER_ART}/${name}.png -o ${DEMO_SCREEN_PCX}/${name}.pcx
    DEPENDS forge ${DEMO_SPEAKER_ART}/${name}.png
    COMMENT "Picture ${name}.pcx")
  demo_pack(${DEMO_SCREEN_PCX}/${name}.pcx)
endforeach()
