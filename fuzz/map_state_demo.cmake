# Map state records applied to the demo's maps, with the monsters, the things
# in the air and the paths installed. The replay depends on the demo; the
# fuzzer reads the demo of its own build folder (build the demo target first)
# or the one VORTHAN_DEMO_DIR names.
vorthan_fuzz_target(map_state_demo LIBS vorthan_world vorthan_monsters vorthan_rules_flight vorthan_rules_monsters_ai)
foreach(target fuzz_map_state_demo replay_map_state_demo)
  if(TARGET ${target})
    target_compile_definitions(${target} PRIVATE VORTHAN_DEMO_DIR="${CMAKE_BINARY_DIR}/demo")
  endif()
endforeach()
if(TARGET replay_map_state_demo AND TARGET demo)
  add_dependencies(replay_map_state_demo demo)
endif()
