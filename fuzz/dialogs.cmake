vorthan_fuzz_target(dialogs LIBS vorthan_story)
