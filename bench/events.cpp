// Costs of the event tree and the task baton: one dispatch to 20 handlers,
// one scheduling pass over 8 tasks that yield.
#include <benchmark/benchmark.h>

#include <utility>

#include "core/events.h"
#include "core/tasks.h"

namespace {

constexpr int32_t EV_BENCH = 900;
int handled = 0;

template <int N>
void counting_handler(event_msg& msg, void**) {
    if (msg.number == EV_BENCH) handled += msg.next_int();
}

template <int... N>
void add_handlers(std::integer_sequence<int, N...>) {
    (add_event_handler(EV_BENCH, counting_handler<N>), ...);
}

void BM_DispatchTo20Handlers(benchmark::State& state) {
    clear_event_tree();
    add_handlers(std::make_integer_sequence<int, 20>{});
    for (auto _ : state) dispatch_event(EV_BENCH, 1);
    benchmark::DoNotOptimize(handled);
    state.SetItemsProcessed(state.iterations() * 20);
    clear_event_tree();
}
BENCHMARK(BM_DispatchTo20Handlers);

void BM_SchedulingPassOver8Tasks(benchmark::State& state) {
    int ids[8];
    for (int& id : ids)
        id = create_task([] {
            while (!terminate_requested()) task_yield();
        });
    for (auto _ : state) scheduling_pass();
    state.SetItemsProcessed(state.iterations() * 8);
    for (int id : ids) wait_task_end(id);
}
BENCHMARK(BM_SchedulingPassOver8Tasks);

}  // namespace
