# The full-screen videos of the video folder: the intro INTRO.MGF (the main
# menu's interface text 7) and the cellars' scene SKLEPY.MGF (played by the
# cellars' map the first time the party comes down). art/video_art*.cpp paints
# their frames as PNG files and renders their sound as WAV files (the intro's
# music is the menu theme's score); forge video encodes each. The intro's
# subtitles are the numbered table INTRO.TXT beside it, entry n shown from
# frame n on, and their English translation lang/en/intro.csv.
add_executable(demo_art_video ${DEMO_SRC}/art/video_art.cpp ${DEMO_SRC}/art/video_art_cellars.cpp)
target_link_libraries(demo_art_video PRIVATE vorthan_forge)
# Rays cast for every pixel of the cellars' frames: optimised even in debug
# builds.
target_compile_options(demo_art_video PRIVATE -O2)
set(DEMO_VIDEO_ART ${CMAKE_CURRENT_BINARY_DIR}/art/video)
set(DEMO_VIDEO ${DEMO_OUT}/video)
foreach(video intro sklepy)
  string(TOUPPER ${video} name)
  add_custom_command(OUTPUT ${DEMO_VIDEO_ART}/${video}.wav
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_VIDEO_ART}
    COMMAND demo_art_video ${DEMO_VIDEO_ART} ${DEMO_SRC}/music/menu.score ${DEJAVU_DIR}/DejaVuSerif-Bold.ttf ${video}
    DEPENDS demo_art_video ${DEMO_SRC}/music/menu.score ${DEJAVU_DIR}/DejaVuSerif-Bold.ttf
    COMMENT "Painting the frames of ${name}.MGF and rendering its sound")
  add_custom_command(OUTPUT ${DEMO_VIDEO}/${name}.MGF
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_VIDEO}
    COMMAND ${FORGE} video ${DEMO_VIDEO_ART}/${video}/%03d.png --wav ${DEMO_VIDEO_ART}/${video}.wav
            --fps 15 -o ${DEMO_VIDEO}/${name}.MGF
    DEPENDS forge ${DEMO_VIDEO_ART}/${video}.wav
    COMMENT "Video ${name}.MGF")
  demo_output(${DEMO_VIDEO}/${name}.MGF)
endforeach()
add_custom_command(OUTPUT ${DEMO_VIDEO}/INTRO.TXT
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_VIDEO}
  COMMAND ${FORGE} text ${DEMO_SRC}/texts/intro.txt -o ${DEMO_VIDEO}/INTRO.TXT
  DEPENDS forge ${DEMO_SRC}/texts/intro.txt
  COMMENT "Intro subtitles INTRO.TXT")
add_custom_command(OUTPUT ${DEMO_OUT}/lang/en/intro.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/lang/en
  COMMAND ${FORGE} csv ${DEMO_SRC}/lang/en/intro.csv -o ${DEMO_OUT}/lang/en/intro.csv
  DEPENDS forge ${DEMO_SRC}/lang/en/intro.csv
  COMMENT "English intro subtitles lang/en/intro.csv")
demo_output(${DEMO_VIDEO}/INTRO.TXT ${DEMO_OUT}/lang/en/intro.csv)
