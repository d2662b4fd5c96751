vorthan_bench(game_screen SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/game_screen.cpp LIBS vorthan_world vorthan_run)
if(TARGET demo)
  add_dependencies(bench_game_screen demo)
endif()
