# The character generation screen's pictures (postavy.pcx background with the
# disc, perla.pcx the pearl, topbar_p.pcx; the button strip is the automap's),
# painted and written as PCX by art/chargen_art.cpp (the pearl's shadow needs
# its palette indexes as drawn), and the faces only the strip offers (portraits 4, 6 and 7:
# xicht/char, PNGs turned into PCX by the forge; 0, 1, 2, 3 and 5 are the
# party's and the prisoner's).
add_executable(demo_art_chargen ${DEMO_SRC}/art/chargen_art.cpp ${DEMO_SRC}/art/portrait_faces.cpp
  ${DEMO_SRC}/art/portrait_body.cpp ${DEMO_SRC}/art/portrait_head.cpp)
target_link_libraries(demo_art_chargen PRIVATE vorthan_forge)
set(DEMO_CHARGEN_ART ${CMAKE_CURRENT_BINARY_DIR}/art/chargen)
set(DEMO_CHARGEN_PCX postavy perla topbar_p)
set(DEMO_CHARGEN_FACES xicht04 char04 xicht06 char06 xicht07 char07)
set(chargen_outputs "")
foreach(name ${DEMO_CHARGEN_PCX})
  list(APPEND chargen_outputs ${DEMO_CHARGEN_ART}/${name}.pcx)
endforeach()
foreach(name ${DEMO_CHARGEN_FACES})
  list(APPEND chargen_outputs ${DEMO_CHARGEN_ART}/${name}.png)
endforeach()
add_custom_command(OUTPUT ${chargen_outputs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_CHARGEN_ART}
  COMMAND demo_art_chargen ${DEMO_CHARGEN_ART}
  DEPENDS demo_art_chargen
  COMMENT "Painting the character generation screen")
foreach(name ${DEMO_CHARGEN_PCX})
  add_custom_command(OUTPUT ${DEMO_SCREEN_PCX}/${name}.pcx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SCREEN_PCX}
    COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_CHARGEN_ART}/${name}.pcx ${DEMO_SCREEN_PCX}/${name}.pcx
    DEPENDS ${DEMO_CHARGEN_ART}/${name}.pcx
    COMMENT "Picture ${name}.pcx")
  demo_pack(${DEMO_SCREEN_PCX}/${name}.pcx)
endforeach()
foreach(name ${DEMO_CHARGEN_FACES})
  add_custom_command(OUTPUT ${DEMO_SCREEN_PCX}/${name}.pcx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SCREEN_PCX}
    COMMAND ${FORGE} picture ${DEMO_CHARGEN_ART}/${name}.png -o ${DEMO_SCREEN_PCX}/${name}.pcx
    DEPENDS forge ${DEMO_CHARGEN_ART}/${name}.png
    COMMENT "Picture ${name}.pcx")
  demo_pack(${DEMO_SCREEN_PCX}/${name}.pcx)
endforeach()
