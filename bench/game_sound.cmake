# The spread of sound from the party through a wide open map.
vorthan_bench(game_sound SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/game_sound.cpp LIBS vorthan_sound)
