vorthan_fuzz_target(map LIBS vorthan_world)
