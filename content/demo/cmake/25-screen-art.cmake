# The game screen's pictures (top bar, compass, bottom desk, party slot, arrow
# panel and its pressed states, the battle's planning controls, status icons, effects, cursors, window style,
# the options window's background, switch, slider knob and pressed button):
# painted by our own code (art/screen_*.cpp, art/window_art.cpp) into PNGs,
# turned by the forge into PCX files and packed into VORTHAN.DDL under their
# own names. Mock-ups of the whole screen and of the options window are
# written next to the PNGs (art/screen/mockup.png, mockup_options.png).
add_executable(demo_art_screen ${DEMO_SRC}/art/screen_art.cpp ${DEMO_SRC}/art/screen_panels.cpp
  ${DEMO_SRC}/art/screen_small.cpp ${DEMO_SRC}/art/screen_dialog.cpp ${DEMO_SRC}/art/screen_shop.cpp
  ${DEMO_SRC}/art/window_art.cpp ${DEMO_SRC}/art/screen_saveload.cpp)
target_link_libraries(demo_art_screen PRIVATE vorthan_forge)
set(DEMO_SCREEN_ART ${CMAKE_CURRENT_BINARY_DIR}/art/screen)
set(DEMO_SCREEN_PICTURES topbar kompas desk souboje m_souboj okno sipky sipky_s sipky_v sipky_j sipky_z sipky_sv sipky_sz
  postup death bones pzasah krevmin krevmid krevmax fx stupnice lodka msc_sip msc_x msc_who msc_zare
  ramecek wintxtr ideska volbades volbazpe checkbox volbasou shop saveload svitek)
set(screen_pngs "")
foreach(name ${DEMO_SCREEN_PICTURES})
  list(APPEND screen_pngs ${DEMO_SCREEN_ART}/${name}.png)
endforeach()
add_custom_command(OUTPUT ${screen_pngs} ${DEMO_SCREEN_ART}/mockup.png ${DEMO_SCREEN_ART}/dialog.pcx
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SCREEN_ART}
  COMMAND demo_art_screen ${DEMO_SCREEN_ART} --mockup ${DEMO_SCREEN_ART}/mockup.png
  DEPENDS demo_art_screen
  COMMENT "Painting the game screen's pictures")
set(DEMO_SCREEN_PCX ${DEMO_PACK}/gui)
foreach(name ${DEMO_SCREEN_PICTURES})
  add_custom_command(OUTPUT ${DEMO_SCREEN_PCX}/${name}.pcx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SCREEN_PCX}
    COMMAND ${FORGE} picture ${DEMO_SCREEN_ART}/${name}.png -o ${DEMO_SCREEN_PCX}/${name}.pcx
    DEPENDS forge ${DEMO_SCREEN_ART}/${name}.png
    COMMENT "Picture ${name}.pcx")
  demo_pack(${DEMO_SCREEN_PCX}/${name}.pcx)
endforeach()
# The dialog background's palette holds its text colours, so the painter
# writes its PCX itself.
add_custom_command(OUTPUT ${DEMO_SCREEN_PCX}/dialog.pcx
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SCREEN_PCX}
  COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_SCREEN_ART}/dialog.pcx ${DEMO_SCREEN_PCX}/dialog.pcx
  DEPENDS ${DEMO_SCREEN_ART}/dialog.pcx
  COMMENT "Picture dialog.pcx")
demo_pack(${DEMO_SCREEN_PCX}/dialog.pcx)

# The party's pictures: for each character its face in four states
# (XICHTnn.PCX) and its full figure (CHARnn.PCX), painted by
# art/portrait_*.cpp; a sheet of all of them is written next to the PNGs.
add_executable(demo_art_portraits ${DEMO_SRC}/art/portrait_main.cpp ${DEMO_SRC}/art/portrait_faces.cpp
  ${DEMO_SRC}/art/portrait_body.cpp ${DEMO_SRC}/art/portrait_head.cpp)
target_link_libraries(demo_art_portraits PRIVATE vorthan_forge)
set(DEMO_PORTRAIT_ART ${CMAKE_CURRENT_BINARY_DIR}/art/portraits)
set(DEMO_PORTRAIT_PICTURES xicht00 char00 xicht01 char01 xicht02 char02 xicht05 char05)
set(portrait_pngs "")
foreach(name ${DEMO_PORTRAIT_PICTURES})
  list(APPEND portrait_pngs ${DEMO_PORTRAIT_ART}/${name}.png)
endforeach()
add_custom_command(OUTPUT ${portrait_pngs} ${DEMO_PORTRAIT_ART}/sheet.png ${DEMO_PORTRAIT_ART}/sheet_faces.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_PORTRAIT_ART}
  COMMAND demo_art_portraits ${DEMO_PORTRAIT_ART} --sheet ${DEMO_PORTRAIT_ART}/sheet.png
  DEPENDS demo_art_portraits
  COMMENT "Painting the party's portraits and figures")
foreach(name ${DEMO_PORTRAIT_PICTURES})
  add_custom_command(OUTPUT ${DEMO_SCREEN_PCX}/${name}.pcx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SCREEN_PCX}
    COMMAND ${FORGE} picture ${DEMO_PORTRAIT_ART}/${name}.png -o ${DEMO_SCREEN_PCX}/${name}.pcx
    DEPENDS forge ${DEMO_PORTRAIT_ART}/${name}.png
    COMMENT "Picture ${name}.pcx")
  demo_pack(${DEMO_SCREEN_PCX}/${name}.pcx)
endforeach()

# The rune pictures (a sheet of seven carved runes per group, the socket of an
# unknown rune and the mask of one that cannot be cast), painted by
# art/rune_art.cpp; a sheet of all of them is written next to the PNGs.
add_executable(demo_art_runes ${DEMO_SRC}/art/rune_art.cpp)
target_link_libraries(demo_art_runes PRIVATE vorthan_forge)
set(DEMO_RUNE_ART ${CMAKE_CURRENT_BINARY_DIR}/art/runes)
set(DEMO_RUNE_PICTURES r_ohen r_voda r_zeme r_vzduch r_mysl runehole runemask)
set(rune_pngs "")
foreach(name ${DEMO_RUNE_PICTURES})
  list(APPEND rune_pngs ${DEMO_RUNE_ART}/${name}.png)
endforeach()
add_custom_command(OUTPUT ${rune_pngs} ${DEMO_RUNE_ART}/sheet.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_RUNE_ART}
  COMMAND demo_art_runes ${DEMO_RUNE_ART} --sheet ${DEMO_RUNE_ART}/sheet.png
  DEPENDS demo_art_runes
  COMMENT "Painting the rune pictures")
foreach(name ${DEMO_RUNE_PICTURES})
  add_custom_command(OUTPUT ${DEMO_SCREEN_PCX}/${name}.pcx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SCREEN_PCX}
    COMMAND ${FORGE} picture ${DEMO_RUNE_ART}/${name}.png -o ${DEMO_SCREEN_PCX}/${name}.pcx
    DEPENDS forge ${DEMO_RUNE_ART}/${name}.png
    COMMENT "Picture ${name}.pcx")
  demo_pack(${DEMO_SCREEN_PCX}/${name}.pcx)
endforeach()
