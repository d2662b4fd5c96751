# MUS music decoded through the stream, in bytes of sound out.
vorthan_bench(mus SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mus.cpp LIBS vorthan_sound)
