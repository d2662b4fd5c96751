// The battle's calls into the things in the air. While the flying objects are
// not part of the build, nothing leaves a member's hand and nothing flies.
#include "rules/battle/battle_internal.h"

#if VORTHAN_BATTLE_FLIGHT
#include "rules/flight/flight.h"
#endif

namespace battle_detail {

bool throw_held(held_list& held, int x, int y, bool level, int offset, int force, int bonus) {
#if VORTHAN_BATTLE_FLIGHT
    flying_object* object = throw_items(x, y, level, held);
    if (!object) return false;
    object->offset = offset;
    object->force = force;
    object->bonus = bonus;
    return true;
#else
    (void)held, (void)x, (void)y, (void)level, (void)offset, (void)force, (void)bonus;
    return false;
#endif
}

bool objects_in_flight() {
#if VORTHAN_BATTLE_FLIGHT
    return !flying_objects().empty();
#else
    return false;
#endif
}

}  // namespace battle_detail
