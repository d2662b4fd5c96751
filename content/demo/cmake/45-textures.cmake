# The view textures: walls, secondary pictures, arches, floors and ceilings,
# all listed in textures/textures.txt and written by the forge into the
# archive's staging folder.
set(DEMO_TEXTURE_LIST ${DEMO_SRC}/textures/textures.txt)
set(DEMO_TEXTURES ${DEMO_PACK}/textures)
file(STRINGS ${DEMO_TEXTURE_LIST} texture_lines REGEX "^[a-z]")
set(texture_outputs "")
foreach(line ${texture_lines})
  string(REGEX REPLACE ";.*" "" line "${line}")
  string(REGEX MATCHALL "[A-Za-z0-9_]+\\.[Pp][Cc][Xx]" names "${line}")
  foreach(name ${names})
    list(APPEND texture_outputs ${DEMO_TEXTURES}/${name})
  endforeach()
endforeach()
# Any PNG sources the list names are dependencies too.
file(GLOB texture_sources CONFIGURE_DEPENDS ${DEMO_SRC}/textures/*.png)
add_custom_command(OUTPUT ${texture_outputs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_TEXTURES}
  COMMAND ${FORGE} texture build -o ${DEMO_TEXTURES} ${DEMO_TEXTURE_LIST}
  DEPENDS forge ${DEMO_TEXTURE_LIST} ${texture_sources}
  COMMENT "View textures")
demo_pack(${texture_outputs})
