#pragma once
// The world map's source: a readable script with names for places and story
// flags, compiled into the game's "globmap.dat" (docs/worldmap-source.md).
//
//   # a comment
//   place keep = 2                     names a place number (1-255)
//   flag warden_met = 12               names a story flag (0-255)
//   draw valley.pcx at 0, 0            a picture, y counted from the view's top
//   index valleyix.pcx                 the index picture (pixel = place number)
//   define keep map KEEP.MAP text "The keep"
//   forget cellars                     the place can no longer be pointed at
//   stop                               nothing after this runs
//   when <condition>: <statement>      one statement under a condition
//   when <condition> {                 the lines up to "}" under a condition
//   }
//
// Conditions: terms read from left to right, each joined to what came before
// by "and" or "or" (no precedence), any term may be preceded by "not":
//   flag <flag>    visited <MAP>    defined <place>    on <FILE.MAP>    sector <n>
#include <string>
#include <string_view>

namespace forge {

// Compiles the UTF-8 source into globmap.dat's text (game code page, CR LF).
// Throws std::runtime_error "<source_name>:<line>: <what is wrong>".
std::string compile_globmap_source(std::string_view utf8_source, std::string_view source_name);

// The reverse: a globmap.dat written by compile_globmap_source (or by hand, in
// the same one-line forms) back to source, with numbers for names. Lines it
// cannot read come out as comments.
std::string decompile_globmap(std::string_view globmap);

}  // namespace forge
