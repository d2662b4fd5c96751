vorthan_fuzz_target(csv LIBS vorthan_base)
