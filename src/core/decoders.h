#pragma once
// The one table through which subsystems plug their decoders into the fixed
// handles. decoder_for() hands out a stable forwarding function per id, so
// handles defined before the real decoder is registered still share one
// decoder identity (and so alias each other).
#include "core/handles.h"

enum class decoder_id {
    pcx_to_pal8,
    pcx_to_hicolor,
    pcx_1040,
    pcx_to_fade,
    pcx_to_nopal,
    no_data,
    enemy_converter,
    spell_converter,
    globmap_text,
    sample_converter,
    party_bar,
    count
};

// The same pointer on every call for one id. It forwards to the registered
// decoder, or returns the raw bytes unchanged while none is registered
// (no_data and globmap_text have built-in defaults).
decoder_fn decoder_for(decoder_id id);
void register_decoder(decoder_id id, decoder_fn fn);  // nullptr restores the default
decoder_fn registered_decoder(decoder_id id);         // the current target, or nullptr
