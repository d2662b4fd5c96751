# The nine fonts of the fixed font handles, rendered from the free DejaVu
# fonts at the size each use needs (see fonts/README.md), and the pictogram
# font drawn in fonts/ikones.glyphs. They go into the fonts folder "font".
set(DEJAVU_DIR /usr/share/fonts/truetype/dejavu CACHE PATH "Folder of the DejaVu TrueType fonts")
set(DEMO_FONT_DIR ${DEMO_OUT}/font)

# demo_font(<file> <DejaVu face> <pixel size> [forge options...])
function(demo_font file face size)
  add_custom_command(OUTPUT ${DEMO_FONT_DIR}/${file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_FONT_DIR}
    COMMAND ${FORGE} font --ttf ${DEJAVU_DIR}/${face}.ttf --size ${size} ${ARGN} -o ${DEMO_FONT_DIR}/${file}
    DEPENDS forge ${DEJAVU_DIR}/${face}.ttf
    COMMENT "Font ${file}")
  demo_output(${DEMO_FONT_DIR}/${file})
endfunction()

demo_font(sada16.fon DejaVuSans-Bold 9)
demo_font(font4x8.fon DejaVuSansMono 7 --separate-accents)
demo_font(font5x8.fon DejaVuSansCondensed 8 --separate-accents)
demo_font(font6x9.fon DejaVuSans 9)
demo_font(sada7.fon DejaVuSans-Bold 8 --separate-accents)
demo_font(tiny.fon DejaVuSans 7 --separate-accents)
demo_font(kniha.fon DejaVuSerif 12 --no-shadow)
demo_font(timese.fon DejaVuSerif 20)

add_custom_command(OUTPUT ${DEMO_FONT_DIR}/ikones.fon
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_FONT_DIR}
  COMMAND ${FORGE} font --grid ${DEMO_SRC}/fonts/ikones.glyphs -o ${DEMO_FONT_DIR}/ikones.fon
  DEPENDS forge ${DEMO_SRC}/fonts/ikones.glyphs
  COMMENT "Font ikones.fon")
demo_output(${DEMO_FONT_DIR}/ikones.fon)
