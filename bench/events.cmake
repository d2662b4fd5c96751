vorthan_bench(events SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/events.cpp LIBS vorthan_core)

# Not a benchmark run by `make bench` (it takes ten seconds): the idle-cost check.
add_executable(events_idle ${CMAKE_CURRENT_SOURCE_DIR}/events_idle.cpp)
target_link_libraries(events_idle PRIVATE vorthan_core)
set_target_properties(events_idle PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
