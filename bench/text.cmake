vorthan_bench(text SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/text.cpp LIBS vorthan_gfx)
if(TARGET demo)
  add_dependencies(bench_text demo)
endif()
