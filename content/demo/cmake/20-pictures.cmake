# The loading picture LOADING.HI: painted by our own code into a PNG, then
# turned by the forge into the stored hi-colour picture in the gui folder
# (graphics/basic, see vorthan.ini).
add_executable(demo_art_loading ${DEMO_SRC}/art/loading.cpp)
target_link_libraries(demo_art_loading PRIVATE vorthan_forge)
set(DEMO_ART ${CMAKE_CURRENT_BINARY_DIR}/art)
set(DEMO_GUI ${DEMO_OUT}/graphics/basic)
add_custom_command(OUTPUT ${DEMO_ART}/loading.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_ART}
  COMMAND demo_art_loading ${DEMO_ART}/loading.png
  DEPENDS demo_art_loading
  COMMENT "Painting the loading picture")
add_custom_command(OUTPUT ${DEMO_GUI}/LOADING.HI
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_GUI}
  COMMAND ${FORGE} picture ${DEMO_ART}/loading.png --stored 16 -o ${DEMO_GUI}/LOADING.HI
  DEPENDS forge ${DEMO_ART}/loading.png
  COMMENT "Loading picture LOADING.HI")
demo_output(${DEMO_GUI}/LOADING.HI)
