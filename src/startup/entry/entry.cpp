// The program's entry point. Arguments arrive as UTF-8 already.
#include <clocale>

#include "startup/run/game_main.h"

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    return game_main(argc, argv);
}
