#pragma once
// The fixed handles of the start sequence (their numbers: core/handle_ids.h).

// Defines the fixed handles: the static table, then the generated groups.
void define_fixed_handles();
