#pragma once
// The command-line option parser: one call returns the next option
// character, -1 at the end of the options, '?' (or ':') for an error.

struct option_parser {
    int index = 1;                   // the next argument to look at
    int position = 0;                // inside the current argument (0 = take a new one)
    const char* argument = nullptr;  // the argument of the last option
    bool print_errors = true;
    bool restart = false;

    int next(int argc, char* const* argv, const char* options);
};
