vorthan_fuzz_target(archive LIBS vorthan_core)
