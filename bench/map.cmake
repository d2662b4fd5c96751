vorthan_bench(map SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/map.cpp LIBS vorthan_world vorthan_forge)
