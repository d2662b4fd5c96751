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
demo_output(${DEMO_OUT}/POPISY.TXT ${DEMO_OUT}/lang/en/ui.csv)

# The configuration, with the demo folder's absolute path as root, so that
# "vorthan -f <demo>/vorthan.ini" works from any folder.
file(READ ${DEMO_SRC}/vorthan.ini demo_ini)
string(REGEX REPLACE "\nroot = [^\n]*" "\nroot = ${DEMO_OUT}" demo_ini "${demo_ini}")
file(GENERATE OUTPUT ${DEMO_OUT}/vorthan.ini CONTENT "${demo_ini}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${DEMO_SRC}/vorthan.ini)
