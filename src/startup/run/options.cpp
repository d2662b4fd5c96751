#include "startup/run/options.h"

#include <cstdio>
#include <cstring>

int option_parser::next(int argc, char* const* argv, const char* options) {
    if (restart) {
        index = 1;
        position = 0;
        restart = false;
    }
    argument = nullptr;
    if (position == 0) {
        if (index >= argc || !argv[index] || argv[index][0] != '-' || argv[index][1] == 0) return -1;
        if (std::strcmp(argv[index], "--") == 0) {
            ++index;
            return -1;
        }
        position = 1;
    }
    const char* current = argv[index];
    char c = current[position++];
    bool last_in_argument = current[position] == 0;
    const char* spec = c == ':' ? nullptr : std::strchr(options, c);
    if (!spec || c == 0) {
        if (print_errors && options[0] != ':') std::printf("illegal option -- %c\n", c);
        if (last_in_argument) {
            ++index;
            position = 0;
        }
        return '?';
    }
    if (spec[1] != ':') {
        if (last_in_argument) {
            ++index;
            position = 0;
        }
        return c;
    }
    // The option takes an argument: the rest of this one, or the next.
    const char* rest = current + position;
    position = 0;
    ++index;
    if (!last_in_argument) {
        argument = rest;
        return c;
    }
    if (index >= argc) {
        if (options[0] == ':') return ':';
        if (print_errors) std::printf("option requires an argument -- %c\n", c);
        return '?';
    }
    argument = argv[index++];
    return c;
}
