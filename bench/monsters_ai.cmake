vorthan_bench(monsters_ai SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/monsters_ai.cpp LIBS vorthan_rules_monsters_ai)
target_include_directories(bench_monsters_ai PRIVATE ${CMAKE_SOURCE_DIR}/tests/rules_monsters_ai)
