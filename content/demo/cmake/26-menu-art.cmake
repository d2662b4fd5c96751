# The main menu's pictures (MAINMENU, MENUVOL0-4 at the glow levels and the
# item mask MENUVOL5, the logo LOGO00 and its XOR deltas LOGO01-29) and the
# credits' background titulky.pcx, painted and written as PCX by
# art/menu_art.cpp (the mask and the deltas need their indexes as written).
add_executable(demo_art_menu ${DEMO_SRC}/art/menu_art.cpp)
target_link_libraries(demo_art_menu PRIVATE vorthan_forge)
set(DEMO_MENU_ART ${CMAKE_CURRENT_BINARY_DIR}/art/menu)
set(DEMO_MENU_PCX MAINMENU.PCX MENUVOL0.PCX MENUVOL1.PCX MENUVOL2.PCX MENUVOL3.PCX MENUVOL4.PCX MENUVOL5.PCX
  titulky.pcx)
foreach(k RANGE 0 29)
  if(k LESS 10)
    list(APPEND DEMO_MENU_PCX LOGO0${k}.PCX)
  else()
    list(APPEND DEMO_MENU_PCX LOGO${k}.PCX)
  endif()
endforeach()
set(menu_outputs "")
foreach(name ${DEMO_MENU_PCX})
  list(APPEND menu_outputs ${DEMO_MENU_ART}/${name})
endforeach()
add_custom_command(OUTPUT ${menu_outputs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_MENU_ART}
  COMMAND demo_art_menu ${DEMO_MENU_ART}
  DEPENDS demo_art_menu
  COMMENT "Painting the main menu and the credits' background")
foreach(name ${DEMO_MENU_PCX})
  add_custom_command(OUTPUT ${DEMO_SCREEN_PCX}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SCREEN_PCX}
    COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_MENU_ART}/${name} ${DEMO_SCREEN_PCX}/${name}
    DEPENDS ${DEMO_MENU_ART}/${name}
    COMMENT "Picture ${name}")
  demo_pack(${DEMO_SCREEN_PCX}/${name})
endforeach()
# The credits' scripts in the maps folder (Czech, turned into the game's code
# page) and their English versions in the language folder.
set(DEMO_CREDITS_MAPS ${DEMO_OUT}/maps)
foreach(pair "titulky.txt;TITULKY.TXT" "epilog.txt;ENDTEXT.TXT")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${DEMO_CREDITS_MAPS}/${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_CREDITS_MAPS}
    COMMAND demo_art_menu --text ${DEMO_SRC}/texts/${source} ${DEMO_CREDITS_MAPS}/${target}
    DEPENDS demo_art_menu ${DEMO_SRC}/texts/${source}
    COMMENT "Credits script ${target}")
  demo_output(${DEMO_CREDITS_MAPS}/${target})
endforeach()
foreach(name end_titles.txt epilog.txt)
  add_custom_command(OUTPUT ${DEMO_OUT}/lang/en/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/lang/en
    COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_SRC}/lang/en/${name} ${DEMO_OUT}/lang/en/${name}
    DEPENDS ${DEMO_SRC}/lang/en/${name}
    COMMENT "English credits script lang/en/${name}")
  demo_output(${DEMO_OUT}/lang/en/${name})
endforeach()
