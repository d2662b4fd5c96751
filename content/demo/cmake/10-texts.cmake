# The interface texts (Czech, game code page), their English translation and
# the configuration file.
add_custom_command(OUTPUT ${DEMO_OUT}/POPISY.TXT
  COMMAND ${FORGE} text ${DEMO_SRC}/texts/popisy.txt -o ${DEMO_OUT}/POPISY.TXT
  DEPENDS forge ${DEMO_SRC}/texts/popisy.txt
  COMMENT "Interface texts POPISY.TXT")
add_custom_command(OUTPUT ${DEMO_OUT}/lang/en/ui.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/lang/en
  COMMAND ${FORGE} csv ${DEMO_SRC}/lang/en/ui.csv -o ${DEMO_OUT}/lang/en/ui.csv
  DEPENDS forge ${DEMO_SRC}/lang/en/ui.csv
  COMMENT "English interface texts lang/en/ui.csv")
add_custom_command(OUTPUT ${DEMO_OUT}/vorthan.ini
  COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_SRC}/vorthan.ini ${DEMO_OUT}/vorthan.ini
  DEPENDS ${DEMO_SRC}/vorthan.ini
  COMMENT "Demo configuration vorthan.ini")
demo_output(${DEMO_OUT}/POPISY.TXT ${DEMO_OUT}/lang/en/ui.csv ${DEMO_OUT}/vorthan.ini)
