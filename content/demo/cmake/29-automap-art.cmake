# The automap's pictures: the paper (backmap), the button panel (chargen),
# its pressed buttons (chargenb) and its index picture (chargenm, whose pixel
# values are the button numbers), painted by art/automap_art.cpp and packed
# into VORTHAN.DDL; a mock-up of the automap screen is written next to the
# PNGs (art/automap/automap_mockup.png).
add_executable(demo_art_automap ${DEMO_SRC}/art/automap_art.cpp)
target_link_libraries(demo_art_automap PRIVATE vorthan_forge)
set(DEMO_AUTOMAP_ART ${CMAKE_CURRENT_BINARY_DIR}/art/automap)
set(DEMO_AUTOMAP_PICTURES backmap chargen chargenb)
set(automap_pngs "")
foreach(name ${DEMO_AUTOMAP_PICTURES})
  list(APPEND automap_pngs ${DEMO_AUTOMAP_ART}/${name}.png)
endforeach()
add_custom_command(OUTPUT ${automap_pngs} ${DEMO_AUTOMAP_ART}/chargenm.pcx ${DEMO_AUTOMAP_ART}/automap_mockup.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_AUTOMAP_ART}
  COMMAND demo_art_automap ${DEMO_AUTOMAP_ART}
  DEPENDS demo_art_automap
  COMMENT "Painting the automap's pictures")
set(DEMO_AUTOMAP_PCX ${DEMO_PACK}/gui)
foreach(name ${DEMO_AUTOMAP_PICTURES})
  add_custom_command(OUTPUT ${DEMO_AUTOMAP_PCX}/${name}.pcx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_AUTOMAP_PCX}
    COMMAND ${FORGE} picture ${DEMO_AUTOMAP_ART}/${name}.png -o ${DEMO_AUTOMAP_PCX}/${name}.pcx
    DEPENDS forge ${DEMO_AUTOMAP_ART}/${name}.png
    COMMENT "Picture ${name}.pcx")
  demo_pack(${DEMO_AUTOMAP_PCX}/${name}.pcx)
endforeach()
# The index picture keeps its pixel values: it is copied, not converted.
add_custom_command(OUTPUT ${DEMO_AUTOMAP_PCX}/chargenm.pcx
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_AUTOMAP_PCX}
  COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_AUTOMAP_ART}/chargenm.pcx ${DEMO_AUTOMAP_PCX}/chargenm.pcx
  DEPENDS ${DEMO_AUTOMAP_ART}/chargenm.pcx
  COMMENT "Picture chargenm.pcx")
demo_pack(${DEMO_AUTOMAP_PCX}/chargenm.pcx)
