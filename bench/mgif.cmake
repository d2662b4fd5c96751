# MGIF pictures: a full frame and a change frame decoded to hi-colour, and a
# copy of a frame for comparison.
vorthan_bench(mgif SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mgif.cpp LIBS vorthan_gfx vorthan_forge)
