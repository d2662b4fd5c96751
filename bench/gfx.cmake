vorthan_bench(gfx SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/gfx.cpp LIBS vorthan_gfx)
