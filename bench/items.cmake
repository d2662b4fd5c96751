vorthan_bench(items SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/items.cpp LIBS vorthan_rules)
