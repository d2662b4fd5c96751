vorthan_bench(battle SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/battle.cpp LIBS vorthan_rules_battle)
target_include_directories(bench_battle PRIVATE ${CMAKE_SOURCE_DIR}/tests/rules_monsters_ai)
