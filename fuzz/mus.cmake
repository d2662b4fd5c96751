vorthan_fuzz_target(mus LIBS vorthan_sound)
