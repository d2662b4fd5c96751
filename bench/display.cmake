vorthan_bench(display SOURCES ${CMAKE_CURRENT_LIST_DIR}/display.cpp LIBS vorthan_platform)
