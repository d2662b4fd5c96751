vorthan_bench(automap SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/automap.cpp LIBS vorthan_world)
