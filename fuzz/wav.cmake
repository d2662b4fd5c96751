vorthan_fuzz_target(wav LIBS vorthan_sound)
