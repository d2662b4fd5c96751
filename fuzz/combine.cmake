vorthan_fuzz_target(combine LIBS vorthan_rules)
