vorthan_bench(party SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/party.cpp LIBS vorthan_rules)
