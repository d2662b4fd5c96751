# Monsters in the view: draw_view with eight monsters in sight against none.
# The hall and the scratch folder of the monsters' files come from the tests' helpers.
vorthan_bench(monster_draw SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/monster_draw.cpp
              ${CMAKE_SOURCE_DIR}/tests/world/view_test_map.cpp ${CMAKE_SOURCE_DIR}/tests/monsters/monster_test_map.cpp
              LIBS vorthan_monsters)
