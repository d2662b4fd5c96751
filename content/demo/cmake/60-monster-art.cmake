# The monsters' animation sets ARCHER, GOBLIN, SHAMAN, RATLIN and OGRBIG:
# every frame picture (<NAME><kind><frame>.PCX), the frame list <NAME>.SEQ and
# the colour variants <NAME>.COL, painted by art/monster_art_*.cpp straight
# into the monster pictures' folder (graphics/enemies, see vorthan.ini).
# Contact sheets of every set and the sets' widths (art_widths.txt, which
# monsters/art_widths.txt keeps for the monster source) go to art/monsters/.
set(monster_art ${DEMO_SRC}/art)
add_executable(demo_art_monsters ${monster_art}/monster_art_main.cpp ${monster_art}/monster_art_render.cpp
  ${monster_art}/monster_art_rig.cpp ${monster_art}/monster_art_archer.cpp ${monster_art}/monster_art_goblin.cpp
  ${monster_art}/monster_art_shaman.cpp ${monster_art}/monster_art_rat.cpp ${monster_art}/monster_art_ogre.cpp)
target_link_libraries(demo_art_monsters PRIVATE vorthan_forge)
# Thousands of rays per frame: optimised even in debug builds, or the demo
# takes minutes to build.
target_compile_options(demo_art_monsters PRIVATE -O2)
set(DEMO_ENEMIES ${DEMO_OUT}/graphics/enemies)
set(DEMO_MONSTER_SHEETS ${CMAKE_CURRENT_BINARY_DIR}/art/monsters)

set(monster_art_outputs "")
foreach(set ARCHER GOBLIN SHAMAN RATLIN OGRBIG)
  list(APPEND monster_art_outputs ${DEMO_ENEMIES}/${set}.SEQ ${DEMO_ENEMIES}/${set}.COL)
  foreach(frame F0 F1 F2 F3 L0 L1 L2 L3 B0 B1 B2 B3 C0 C1 C2 H0 H1)
    list(APPEND monster_art_outputs ${DEMO_ENEMIES}/${set}${frame}.PCX)
  endforeach()
endforeach()
add_custom_command(OUTPUT ${monster_art_outputs} ${DEMO_MONSTER_SHEETS}/art_widths.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_ENEMIES} ${DEMO_MONSTER_SHEETS}
  COMMAND demo_art_monsters ${DEMO_ENEMIES} ${DEMO_MONSTER_SHEETS}/art_widths.txt --sheet ${DEMO_MONSTER_SHEETS}
  DEPENDS demo_art_monsters
  COMMENT "Painting the monsters' animation frames")
demo_output(${monster_art_outputs})
