vorthan_bench(handles SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/handles.cpp LIBS vorthan_core)
