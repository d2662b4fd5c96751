vorthan_fuzz_target(items LIBS vorthan_rules)
