#pragma once
// The credits: a script of text lines and star commands scrolled up through
// a band of the screen over a background picture; and the end of a won game
// (the epilogue and the end titles).
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/handles.h"

constexpr handle_id H_CREDITS_BACKGROUND = 0x8027;  // titulky.pcx
constexpr int CREDITS_BAND_TOP = 60, CREDITS_BAND_ROWS = 360;
constexpr int CREDITS_LINE_MAX = 79;      // characters of a script line; the rest is dropped
constexpr int CREDITS_DEFAULT_SPEED = 4;  // ticks per pixel
constexpr int CREDITS_MAX_STEP = 10;      // pixels at most in one go after missed ticks

// One text line of the script with the state it is drawn in.
struct credits_line {
    std::string text;
    handle_id font = 0;
    uint16_t colour = 0;
    int x = 0;  // the left edge, or the centre when centred
    bool centred = false;
    int min_height = 0;  // the line-height minimum in force
};

// The script's commands (*HEAD, *NAME, *CENTER, *TEXT set the state of the
// lines that follow; *SMALL and *BIG choose the font the next of those takes;
// *LINE n, *SPEED n; *KONEC or the end of the lines ends it).
class credits_script {
  public:
    explicit credits_script(std::vector<std::string> lines);
    // The next text line, after the commands before it; none at the end.
    std::optional<credits_line> next();
    // Ticks per pixel, as the commands read so far set it.
    int speed() const { return speed_; }
    bool ended() const { return ended_; }

  private:
    void command(const std::string& line);

    std::vector<std::string> lines_;
    size_t at_ = 0;
    bool ended_ = false;
    int speed_ = CREDITS_DEFAULT_SPEED;
    int min_height_ = 0;
    handle_id next_font_;
    credits_line state_;
};

// The transparent layer the lines are drawn into, row by row from the band's
// top down, and its scrolling. Rows hold 640 pixels; an empty row has no text.
class credits_layer {
  public:
    using row = std::vector<uint16_t>;
    static constexpr uint16_t CLEAR = 0xFFFF;  // a layer pixel without text

    // draw renders a line: its height and its rows (each 640 pixels of which
    // CLEAR ones are empty).
    using line_renderer = std::function<std::vector<row>(const credits_line&)>;
    credits_layer(credits_script& script, line_renderer draw);

    // Moves the layer up by `ticks` worth of pixels at the script's speed (at
    // most CREDITS_MAX_STEP at once); false once the last line has left the
    // band. The layer is topped up from the script whenever the space below
    // the last line runs out.
    bool advance(int ticks);
    // The band's row r (0 = the band's top): null when it has no text.
    const row* band_row(int r) const;
    bool finished() const { return finished_; }
    int scrolled() const { return scrolled_; }

  private:
    void fill();
    bool step();

    credits_script& script_;
    line_renderer draw_;
    std::deque<row> rows_;
    int pending_ticks_ = 0;
    int rows_after_end_ = -1;  // counting down once the script has ended
    int scrolled_ = 0;
    bool finished_ = false;
};

// The script file's path as the game finds it: the language's own
// (TITULKY.TXT as end_titles.txt, ENDTEXT.TXT as epilog.txt), or the name in
// the maps folder; then the name in the adventure's base folder. The lines of
// the first that opens (plain or as its scrambled .ENC form). When neither
// opens the program ends with "Soubor nenalezen: %s nebo %s" (exit code 1).
std::optional<std::vector<std::string>> read_credits_file(const std::string& name);

// Scrolls the credits of a script file over titulky.pcx until the script's
// last line has left the band or a key is pressed. escape: an Escape key is
// sent afterwards, so that the screen under the credits closes. A missing
// file shows nothing and gives false.
bool credits_run(const std::string& name, bool escape);

// After a won game: the end music, the epilogue and the end titles, then a
// black screen.
void end_sequence();
