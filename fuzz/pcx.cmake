vorthan_fuzz_target(pcx LIBS vorthan_gfx)
