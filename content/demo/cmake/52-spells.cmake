# The spells, from spells/*.src (items named from items/items.src):
# KOUZLA.DAT goes to the maps folder where the game looks for it, the
# spells' English names (spells.csv, the forge's own output) to lang/en and
# their Czech names to lang/cz.
set(DEMO_SPELL_SOURCES
  ${DEMO_SRC}/spells/fire.src ${DEMO_SRC}/spells/water.src ${DEMO_SRC}/spells/earth.src
  ${DEMO_SRC}/spells/air.src ${DEMO_SRC}/spells/mind.src)
set(DEMO_SPELL_STAGE ${CMAKE_CURRENT_BINARY_DIR}/spells)

add_custom_command(OUTPUT ${DEMO_SPELL_STAGE}/KOUZLA.DAT ${DEMO_SPELL_STAGE}/spells.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SPELL_STAGE}
  COMMAND ${FORGE} spells -o ${DEMO_SPELL_STAGE} --items ${DEMO_SRC}/items/items.src ${DEMO_SPELL_SOURCES}
  DEPENDS forge ${DEMO_SPELL_SOURCES} ${DEMO_SRC}/items/items.src
  COMMENT "Spells KOUZLA.DAT and spells.csv")

foreach(pair "KOUZLA.DAT:${DEMO_OUT}/maps" "spells.csv:${DEMO_OUT}/lang/en")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 folder)
  add_custom_command(OUTPUT ${folder}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_SPELL_STAGE}/${name} ${folder}/${name}
    DEPENDS ${DEMO_SPELL_STAGE}/${name}
    COMMENT "Placing ${name}")
  demo_output(${folder}/${name})
endforeach()

add_custom_command(OUTPUT ${DEMO_OUT}/lang/cz/spells.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/lang/cz
  COMMAND ${FORGE} csv ${DEMO_SRC}/spells/spells_cz.csv -o ${DEMO_OUT}/lang/cz/spells.csv
  DEPENDS forge ${DEMO_SRC}/spells/spells_cz.csv
  COMMENT "Czech spell names lang/cz/spells.csv")
demo_output(${DEMO_OUT}/lang/cz/spells.csv)
