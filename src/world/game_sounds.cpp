#include "world/game_sounds.h"

game_sound_requests game_sounds;

void play_sound_at(const char* wave, int sector) {
    if (game_sounds.at_sector && wave) game_sounds.at_sector(wave, sector);
}

void play_interface_sound(const char* wave) {
    if (game_sounds.interface_sound && wave) game_sounds.interface_sound(wave);
}

void sounds_follow_party() {
    if (game_sounds.follow_party) game_sounds.follow_party();
}
