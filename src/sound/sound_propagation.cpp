#include "sound/sound_propagation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/game_sound.h"
#include "sound/sound_system.h"
#include "world/map.h"

namespace {

// Sound that has come this many steps goes no further.
constexpr int32_t HEARING_RANGE = 32;

struct propagation_slot {
    int32_t distance = 0;
    uint32_t stamp = 0;
};
using sector_slots = std::array<propagation_slot, 4>;

// One entry per sector, four slots each; a slot counts only while its stamp
// is the current one, so nothing needs clearing between two propagations.
std::vector<sector_slots> propagation_table;
uint32_t propagation_stamp = 0;

struct step {
    int from;
    int to;
};
// The waiting (from, to) pairs. The queue grows as it must: in a wide open
// map far more than a hundred pairs wait at once, and dropping any of them
// would leave sectors with longer ways than the shortest.
std::vector<step> queue;
std::size_t queue_peak = 0;

bool stamped(int sector, int slot) {
    return propagation_table[static_cast<std::size_t>(sector)][static_cast<std::size_t>(slot)].stamp ==
           propagation_stamp;
}

// The neighbour through side `direction` of `sector`, or 0 when sound cannot
// pass that way.
int open_neighbour(int sector, int direction, int count) {
    const int exit =
        current_map.sectors[static_cast<std::size_t>(sector)].exits[static_cast<std::size_t>(direction)];
    if (exit == 0 || exit >= count) return 0;
    if (!(current_map.sides[static_cast<std::size_t>(sector) * 4 + static_cast<std::size_t>(direction)]
              .flags &
          SIDE_TRANSPARENT))
        return 0;
    return exit;
}

void spread(int start, int first_side, int slot, int count) {
    const int first = open_neighbour(start, first_side, count);
    if (first == 0) return;
    queue.clear();
    queue.push_back({start, first});
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const step s = queue[head];
        queue_peak = std::max(queue_peak, queue.size() - head);
        if (stamped(s.to, slot)) continue;
        propagation_slot& to =
            propagation_table[static_cast<std::size_t>(s.to)][static_cast<std::size_t>(slot)];
        to.stamp = propagation_stamp;
        to.distance =
            propagation_table[static_cast<std::size_t>(s.from)][static_cast<std::size_t>(slot)].distance + 1;
        if (to.distance >= HEARING_RANGE) continue;
        for (int d = 0; d < 4; ++d) {
            const int next = open_neighbour(s.to, d, count);
            if (next != 0 && !stamped(next, slot)) queue.push_back({s.to, next});
        }
    }
}

}  // namespace

int sound_map_sectors() {
    const std::size_t present =
        std::min({current_map.sectors.size(), current_map.sides.size() / 4, current_map.coords.size()});
    return std::clamp(current_map.sector_count, 0, static_cast<int>(present));
}

void propagate_sound(int party_sector, int party_direction) {
    const int count = sound_map_sectors();
    if (propagation_table.size() != static_cast<std::size_t>(count))
        propagation_table.assign(count, sector_slots{});
    // A counter that comes round again would make old slots look current.
    if (++propagation_stamp == 0) {
        std::fill(propagation_table.begin(), propagation_table.end(), sector_slots{});
        propagation_stamp = 1;
    }
    queue_peak = 0;
    if (party_sector < 0 || party_sector >= count) return;
    for (propagation_slot& slot : propagation_table[static_cast<std::size_t>(party_sector)])
        slot = {0, propagation_stamp};
    for (int k = 0; k < 4; ++k) spread(party_sector, (party_direction + k) & 3, k, count);
}

int sound_distance(int sector, int slot) {
    if (sector < 0 || static_cast<std::size_t>(sector) >= propagation_table.size() || slot < 0 || slot > 3)
        return -1;
    return stamped(sector, slot)
               ? propagation_table[static_cast<std::size_t>(sector)][static_cast<std::size_t>(slot)].distance
               : -1;
}

std::size_t sound_propagation_queue_peak() {
    return queue_peak;
}

bool positional_levels(int sound_sector, int sound_side, int party_sector, int party_direction, int volume,
                       int& left, int& right) {
    left = right = 0;
    if (sound_sector >= sound_map_sectors()) return false;
    if (sound_sector >= 0 && sound_sector != party_sector) {
        if (static_cast<std::size_t>(sound_sector) >= propagation_table.size()) return false;
        for (int k = 0; k < 4; ++k) {
            const int h = sound_distance(sound_sector, k);
            if (h <= 0) continue;
            const int w = SOUND_FULL_LEVEL / (h * h);
            if (k != 3) right += w;
            if (k != 1) left += w;
        }
    } else if (sound_side >= 0) {
        switch ((sound_side - party_direction) & 3) {
            case 1:
                right = SOUND_FULL_LEVEL, left = 0x2000;
                break;
            case 3:
                left = SOUND_FULL_LEVEL, right = 0x2000;
                break;
            default:
                left = right = SOUND_FULL_LEVEL;
        }
    } else {
        left = right = SOUND_FULL_LEVEL;
    }
    const int64_t scale = static_cast<int64_t>(std::max(volume, 0)) * 255 / 100;
    for (int* level : {&left, &right}) {
        const int64_t product = *level * scale;
        *level = product < 0x800100 ? static_cast<int>(product >> 8) : SOUND_FULL_LEVEL;
    }
    return left != 0 || right != 0;
}

bool positional_volume(int channel, int sound_sector, int sound_side, int party_sector, int party_direction,
                       int volume, int* left, int* right) {
    int l = 0, r = 0;
    const bool heard =
        positional_levels(sound_sector, sound_side, party_sector, party_direction, volume, l, r);
    if (left) *left = l;
    if (right) *right = r;
    if (heard) sound_set_volume(channel, l, r);
    return heard;
}

bool track_audible(int party_x, int party_y, int track_x, int track_y, int side) {
    int x = track_x - party_x, y = track_y - party_y;
    if (side == 1 && x >= 0) ++x;
    if (side == 3 && x <= 0) --x;
    if (side == 2 && y >= 0) ++y;
    if (side == 0 && y <= 0) --y;
    const int64_t n = std::abs(x) + std::abs(y);
    return 32000 - n * 64000 / (n + 8) > 0;
}
