vorthan_bench(flight SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/flight.cpp LIBS vorthan_rules_flight)
target_include_directories(bench_flight PRIVATE ${CMAKE_SOURCE_DIR}/tests/rules_monsters_ai)
