// An idle game: the main loop with the running game's poll handlers, the
// timer driver with one timer and a game task that waits for an event, for
// ten seconds. Run it under /usr/bin/time to see what idling costs.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "core/clock.h"
#include "core/events.h"
#include "core/tasks.h"
#include "core/timers.h"

namespace {

int seconds = 10;
int timer_calls = 0;

void idle_game(void*) {
    while (task_wait_event(EV_GAME_RESULT)) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) seconds = std::atoi(argv[1]);
    install_poll_handlers();
    add_event_handler(EV_POLL, mouse_reader);
    install_game_clock();
    add_timer(1, 5, TIMER_FOREVER, [](timer_node*) { ++timer_calls; });
    add_timer(2, seconds * 1000 / DEFAULT_TICK_LENGTH, 1, [](timer_node*) { stop_flag = 1; });
    int game = create_task(idle_game, nullptr);
    main_loop();
    wait_task_end(game);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("idle main loop: %d s, %.3f s of CPU (%.2f%% of one core), %llu sleeps, %d timer calls\n",
                seconds, cpu, 100.0 * cpu / seconds, static_cast<unsigned long long>(main_loop_sleeps()),
                timer_calls);
    return 0;
}
