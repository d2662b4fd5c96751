# The sound effects: every recipe of sounds/*.recipe rendered by the forge to
# <name>.wav in the sounds folder, where the game finds the waves that maps,
# monsters, spells, items and the game itself name.
file(GLOB DEMO_SOUND_RECIPES CONFIGURE_DEPENDS ${DEMO_SRC}/sounds/*.recipe)
list(SORT DEMO_SOUND_RECIPES)
set(DEMO_SOUNDS ${DEMO_OUT}/sounds)
set(sound_outputs "")
foreach(recipe ${DEMO_SOUND_RECIPES})
  file(STRINGS ${recipe} sound_lines REGEX "^[ \t]*sound[ \t]+[A-Za-z0-9_-]+")
  foreach(line ${sound_lines})
    string(REGEX REPLACE "^[ \t]*sound[ \t]+([A-Za-z0-9_-]+).*" "\\1" name "${line}")
    list(APPEND sound_outputs ${DEMO_SOUNDS}/${name}.wav)
  endforeach()
endforeach()
add_custom_command(OUTPUT ${sound_outputs}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SOUNDS}
  COMMAND ${FORGE} sound ${DEMO_SOUND_RECIPES} -o ${DEMO_SOUNDS}
  DEPENDS forge ${DEMO_SOUND_RECIPES}
  COMMENT "Sound effects")
demo_output(${sound_outputs})
