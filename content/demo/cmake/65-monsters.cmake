# The monsters' definitions from monsters/monsters.src: ENEMY.DAT goes to the
# maps folder, where the game reads it (loot names the items of
# items/items.src), and beside it SOUND.DAT, the list of the wave files the
# monsters name (sounds/*.recipe renders them). The maps place the
# definitions by name (40-maps.cmake); their pictures are the monster art's.
set(DEMO_MONSTER_STAGE ${CMAKE_CURRENT_BINARY_DIR}/monsters)

add_custom_command(OUTPUT ${DEMO_OUT}/maps/ENEMY.DAT ${DEMO_OUT}/maps/SOUND.DAT
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_MONSTER_STAGE} ${DEMO_OUT}/maps
  COMMAND ${FORGE} monsters -o ${DEMO_MONSTER_STAGE} --items ${DEMO_SRC}/items/items.src ${DEMO_SRC}/monsters/monsters.src
  COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_MONSTER_STAGE}/ENEMY.DAT ${DEMO_OUT}/maps/ENEMY.DAT
  COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_MONSTER_STAGE}/SOUND.DAT ${DEMO_OUT}/maps/SOUND.DAT
  DEPENDS forge ${DEMO_SRC}/monsters/monsters.src ${DEMO_SRC}/items/items.src
  COMMENT "Monsters ENEMY.DAT")
demo_output(${DEMO_OUT}/maps/ENEMY.DAT ${DEMO_OUT}/maps/SOUND.DAT)
