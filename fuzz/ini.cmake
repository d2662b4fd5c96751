vorthan_fuzz_target(ini LIBS vorthan_base)
