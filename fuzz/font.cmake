vorthan_fuzz_target(font LIBS vorthan_gfx)
