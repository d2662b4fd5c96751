vorthan_fuzz_target(icons LIBS vorthan_rules vorthan_gfx)
