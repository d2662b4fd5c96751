vorthan_bench(view SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/view.cpp LIBS vorthan_world vorthan_forge)
if(TARGET demo)
  add_dependencies(bench_view demo)
endif()
