#include "startup/run/intro.h"

#include <filesystem>
#include <system_error>

#include "base/paths.h"
#include "base/strings.h"
#include "core/handle_ids.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "gfx/video_player.h"

namespace {
constexpr int32_t SUBTITLE_COLOUR = 26425;
constexpr int INTRO_TOP = 60;
}  // namespace

void play_intro(int text) {
    const char* file = string_list_get(ui_strings, text);
    if (!file || !*file) return;
    string_list subtitles;
    const std::string table = replace_extension(build_path(path_table[PATH_VIDEO], file), ".TXT");
    const bool with_subtitles = read_numbered_table(subtitles, table) == TABLE_OK;
    if (with_subtitles) override_from_language(subtitles, "intro.csv");
    set_font(FONT_TIMESE, SUBTITLE_COLOUR);
    const uint16_t colour = draw_colour;
    draw_colour = 0;
    // The whole screen: the bottom rows would otherwise keep what was there
    // until the first subtitle.
    fill_rect(0, 0, SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
    draw_colour = colour;
    present_rect(0, 0, 0, 0);
    set_video_subtitles(with_subtitles ? &subtitles : nullptr);
    play_video(file, INTRO_TOP);
    set_video_subtitles(nullptr);
}

bool first_start(const std::string& saved_games_folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(saved_games_folder, ec), end; !ec && it != end;
         it.increment(ec))
        if (it->is_regular_file(ec)) return false;
    return true;
}
