#pragma once
// The intro: the video named by an interface text, with its subtitles.
#include <string>

// Plays the video of the video folder named by interface text `text`, from
// screen row 60 on a black screen. Its subtitles come from the numbered table
// of the same name with the extension .TXT (none when it is missing), each
// text replaced by the language's intro.csv.
void play_intro(int text);
// True when the folder holds no regular file: nobody has saved a game yet,
// so the game starts with the intro.
bool first_start(const std::string& saved_games_folder);
