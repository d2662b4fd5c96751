vorthan_bench(spells SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/spells.cpp LIBS vorthan_rules_spells)
