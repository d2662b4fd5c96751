#include "story/save_story_panel.h"

#include <algorithm>
#include <optional>

#include "gfx/font.h"
#include "saves/game_save.h"
#include "saves/saved_game.h"
#include "story/save_screens.h"

namespace {

// Dark brown ink on the parchment, without a shadow.
constexpr int32_t STORY_INK = (8 << 10 | 5 << 5 | 2) | FONT_NO_SHADOW;

int line_height() {
    set_font(FONT_6X9, STORY_INK);
    return std::max(1, text_height("Xg"));
}

}  // namespace

void save_story_panel::show_save(const std::string& path) {
    lines_.clear();
    back_ = 0;
    if (path.empty()) return;
    const std::optional<saved_game> save = read_saved_game_file(path);
    if (!save) return;
    const auto found = save->store.entries().find(STORY_ENTRY_NAME);
    if (found == save->store.entries().end()) return;
    std::string log;
    for (const std::string& line : story_lines(found->second)) log += line + "\n";
    if (!log.empty()) log.pop_back();
    set_font(FONT_6X9, STORY_INK);
    lines_ = wrap_text(log, STORY_PANEL_W).lines;
}

void save_story_panel::scroll_back(int lines) {
    const int most = std::max(0, int(lines_.size()) - lines_fitting());
    back_ = std::clamp(back_ + lines, 0, most);
}

int save_story_panel::lines_fitting() {
    return std::max(1, STORY_PANEL_H / line_height());
}

std::vector<std::string> save_story_panel::lines_shown() const {
    const int first = std::max(0, int(lines_.size()) - lines_fitting() - back_);
    const int count = std::min<int>(lines_fitting(), int(lines_.size()) - first);
    return {lines_.begin() + first, lines_.begin() + first + std::max(0, count)};
}

void save_story_panel::draw(int x) const {
    const std::vector<std::string> shown = lines_shown();
    const int height = line_height();
    for (size_t k = 0; k < shown.size(); ++k) {
        set_text_position(x, STORY_PANEL_Y + int(k) * height);
        draw_text(shown[k]);
    }
}
