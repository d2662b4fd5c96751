#pragma once
// The story panel of the save and load screens: the end of the story log
// kept in a saved game ("_STORY.TMP"), wrapped to the panel's width and
// scrolled back from its end line by line.
#include <string>
#include <vector>

class save_story_panel {
  public:
    // Reads the log of the saved game at path and shows its last lines;
    // an empty path or a file that does not read whole shows nothing.
    void show_save(const std::string& path);
    // Moves the lines shown back towards the log's start (lines > 0) or
    // forward, never past either end.
    void scroll_back(int lines);
    // How many lines the panel holds.
    static int lines_fitting();
    // The lines shown, from the panel's top.
    std::vector<std::string> lines_shown() const;
    // Draws them in the panel whose left edge is x (changes the font).
    void draw(int x) const;

  private:
    std::vector<std::string> lines_;
    int back_ = 0;  // lines scrolled back from the end
};
