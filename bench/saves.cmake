# save_game and load_game of the demo at its largest, run inside a scripted
# run of the whole program (its runner is the end-to-end tests' own).
vorthan_bench(saves SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/saves.cpp ${CMAKE_SOURCE_DIR}/tests/support/scripted_run.cpp
              LIBS vorthan_run vorthan_platform)
target_include_directories(bench_saves PRIVATE ${CMAKE_SOURCE_DIR}/tests)
if(TARGET demo)
  add_dependencies(bench_saves demo)
endif()
