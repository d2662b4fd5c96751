# The sound mixer rendering one device buffer with many channels playing.
vorthan_bench(mixer SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mixer.cpp LIBS vorthan_sound)
