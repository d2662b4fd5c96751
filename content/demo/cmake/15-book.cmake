# The party's book: the lord's diary (books/kniha.txt in Czech, written to the
# maps folder; books/en/book.txt in English, written to lang/en, where it
# takes the Czech book's place) turned by the forge into the game code page;
# the open book (kniha.pcx) and the diary's sketch (DENIK1.PCX), painted by
# art/book_art.cpp and packed into VORTHAN.DDL. See docs/book-source.md.
foreach(pair "kniha.txt;${DEMO_OUT}/maps/kniha.txt" "en/book.txt;${DEMO_OUT}/lang/en/book.txt")
  list(GET pair 0 source)
  list(GET pair 1 output)
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${FORGE} book ${DEMO_SRC}/books/${source} -o ${output}
    DEPENDS forge ${DEMO_SRC}/books/${source}
    COMMENT "Book text ${source}")
  demo_output(${output})
endforeach()

add_executable(demo_art_book ${DEMO_SRC}/art/book_art.cpp)
target_link_libraries(demo_art_book PRIVATE vorthan_forge)
set(DEMO_BOOK_ART ${CMAKE_CURRENT_BINARY_DIR}/art/book)
add_custom_command(OUTPUT ${DEMO_BOOK_ART}/kniha.png ${DEMO_BOOK_ART}/denik1.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_BOOK_ART}
  COMMAND demo_art_book ${DEMO_BOOK_ART}
  DEPENDS demo_art_book
  COMMENT "Painting the book's pictures")
foreach(pair "kniha;kniha.pcx" "denik1;DENIK1.PCX")
  list(GET pair 0 name)
  list(GET pair 1 file)
  add_custom_command(OUTPUT ${DEMO_PACK}/gui/${file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_PACK}/gui
    COMMAND ${FORGE} picture ${DEMO_BOOK_ART}/${name}.png -o ${DEMO_PACK}/gui/${file}
    DEPENDS forge ${DEMO_BOOK_ART}/${name}.png
    COMMENT "Picture ${file}")
  demo_pack(${DEMO_PACK}/gui/${file})
endforeach()
