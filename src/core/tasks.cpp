// Cooperative tasks on threads with a baton: whoever runs game code holds the
// baton; handing it over wakes the target and blocks the giver on its own
// baton, so exactly one thread runs game code at any time. All state below is
// touched only by the baton holder; the atomic baton store and the wait that
// sees it order every write before a switch with every read after it.
#include "core/tasks.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <map>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "base/fatal.h"
#include "core/events.h"

namespace {

using steady = std::chrono::steady_clock;

// Batons are recycled, never freed: the side that hands a baton over may
// still be inside notify_all when the woken task has already finished and
// its record is gone.
std::vector<std::atomic<int>*>& spare_batons() {
    static auto& spares = *new std::vector<std::atomic<int>*>;
    return spares;
}

std::atomic<int>* take_baton() {
    if (spare_batons().empty()) return new std::atomic<int>(0);
    std::atomic<int>* baton = spare_batons().back();
    spare_batons().pop_back();
    return baton;
}

struct task_record {
    task_record() = default;
    ~task_record() { spare_batons().push_back(baton_ptr); }
    task_record(const task_record&) = delete;
    task_record& operator=(const task_record&) = delete;

    std::atomic<int>* baton_ptr = take_baton();
    std::atomic<int>& baton = *baton_ptr;
    int id = 0;
    steady::time_point wake_time{};  // ready once this is earlier than now
    int32_t awaited = -1;            // event number waited for, -1 none
    bool terminate = false;
    bool finished = false;
    bool woken = false;  // resumed by wake_waiting_tasks with wake_msg
    event_msg wake_msg;
    uint32_t resumes = 0;
    std::function<void()> body;
};

// Never destroyed: task threads still blocked at process exit must not find
// their records gone.
auto& tasks = *new std::map<int, std::unique_ptr<task_record>>;
task_record* current = nullptr;
std::atomic<int> main_baton{0};
int pass_depth = 0;
// Thrown while a task reported its own failure (a fatal hook that unwinds
// instead of ending the process); rethrown on the main thread.
std::exception_ptr forwarded;

// Finished tasks are erased only when no pass or wake is walking the table.
struct pass_scope {
    pass_scope() { ++pass_depth; }
    ~pass_scope() { --pass_depth; }
};
int next_id = 1;

void wait_for_baton(std::atomic<int>& baton) {
    baton.wait(0);
    baton.store(0);
}

void give_baton(std::atomic<int>& baton) {
    baton.exchange(1);
    baton.notify_all();
}

// Hands the baton to target (null: the main thread) and waits until someone
// hands it back.
void switch_to(task_record* target) {
    task_record* self = current;
    if (target == self) return;
    if (target && target->finished) return;
    current = target;
    give_baton(target ? target->baton : main_baton);
    if (!self) {
        wait_for_baton(main_baton);
        if (forwarded) std::rethrow_exception(std::exchange(forwarded, nullptr));
        return;
    }
    wait_for_baton(self->baton);
    self->awaited = -1;
    self->wake_time = {};
    self->resumes++;
}

task_record* find_task(int id) {
    auto it = tasks.find(id);
    return it == tasks.end() ? nullptr : it->second.get();
}

void erase_finished() {
    if (pass_depth > 0) return;
    for (auto it = tasks.begin(); it != tasks.end();) {
        if (it->second->finished)
            it = tasks.erase(it);
        else
            ++it;
    }
}

// Reports a failure of a task; what the report itself throws goes to the main thread.
template <class Report>
void report_failure(Report report) {
    try {
        report();
    } catch (...) {
        forwarded = std::current_exception();
    }
}

void task_thread(task_record* self) {
    wait_for_baton(self->baton);
    {
        std::function<void()> body = std::move(self->body);
        try {
            body();
        } catch (const std::exception& e) {
            report_failure([&] { display_error("%s", exception_text(e).c_str()); });
        } catch (...) {
            report_failure([] { display_error("Uknown error or crash"); });
        }
    }
    // The record belongs to the main side from the moment the baton is given.
    self->finished = true;
    current = nullptr;
    give_baton(main_baton);
}

int take_free_id() {
    for (int tries = 0; tries <= 65535; ++tries) {
        int id = next_id;
        next_id = next_id == 65535 ? 0 : next_id + 1;
        if (!tasks.count(id)) return id;
    }
    return -1;
}

}  // namespace

int create_task(std::function<void()> body) {
    int id = take_free_id();
    if (id < 0) {
        display_error("Too many tasks");
        return -1;
    }
    auto record = std::make_unique<task_record>();
    task_record* task = record.get();
    task->id = id;
    task->body = std::move(body);
    tasks.emplace(id, std::move(record));
    std::thread(task_thread, task).detach();
    switch_to(task);
    erase_finished();
    return id;
}

int create_task(task_fn fn, void* arg) {
    return create_task([fn, arg] { fn(arg); });
}

void terminate_task(int id) {
    task_record* task = find_task(id);
    if (!task || task->finished) return;
    task->terminate = true;
    {
        pass_scope scope;
        switch_to(task);
    }
    erase_finished();
}

bool task_alive(int id) {
    if (id < 0) return false;
    task_record* task = find_task(id);
    return task && !task->finished;
}

void wait_task_end(int id) {
    if (id == current_task_id()) return;  // a task cannot outlive itself
    terminate_task(id);
    while (task_alive(id)) {
        scheduling_pass();
        if (task_alive(id) && in_main_thread()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

event_msg* task_wait_event(int32_t number) {
    task_record* self = current;
    if (!self || self->terminate || self->finished) return nullptr;
    self->awaited = number;
    self->woken = false;
    switch_to(nullptr);
    if (!self->woken) return nullptr;
    self->woken = false;
    return &self->wake_msg;
}

void task_pause() {
    if (current) switch_to(nullptr);
}

void task_yield() {
    if (!current) return;
    yield_mark = 1;
    switch_to(nullptr);
}

void task_sleep(int milliseconds) {
    task_record* self = current;
    if (!self) return;
    self->wake_time = steady::now() + std::chrono::milliseconds(milliseconds);
    switch_to(nullptr);
}

void set_next_task_id(int id) {
    next_id = id & 0xFFFF;
}

uint32_t task_resume_count() {
    return current ? current->resumes : 0;
}

int current_task_id() {
    return current ? current->id : -1;
}

bool terminate_requested() {
    return current && current->terminate;
}

int task_count() {
    int n = 0;
    for (auto& [id, task] : tasks)
        if (!task->finished) ++n;
    return n;
}

bool in_main_thread() {
    return current == nullptr;
}

void scheduling_pass() {
    if (current) {
        // Inside a task (a nested poll) a pass only lets the main thread run.
        task_pause();
        return;
    }
    {
        pass_scope scope;
        for (auto it = tasks.begin(); it != tasks.end();) {
            int id = it->first;
            task_record* task = it->second.get();
            if (!task->finished && task->awaited == -1 && task->wake_time < steady::now()) switch_to(task);
            it = tasks.upper_bound(id);
        }
    }
    erase_finished();
}

void wake_waiting_tasks(const event_msg& msg) {
    if (tasks.empty()) return;
    {
        pass_scope scope;
        for (auto it = tasks.begin(); it != tasks.end();) {
            int id = it->first;
            task_record* task = it->second.get();
            if (task != current && !task->finished && task->awaited == msg.number) {
                task->wake_msg = msg;
                task->wake_msg.cursor = 0;
                task->woken = true;
                switch_to(task);
            }
            it = tasks.upper_bound(id);
        }
    }
    erase_finished();
}

namespace {

int game_task_id = -1;

// Ends the main loop when the game task has ended without setting stop_flag.
void watch_game_task(event_msg& msg, void**) {
    if (msg.number == EV_IDLE && !task_alive(game_task_id)) stop_flag = 1;
}

}  // namespace

void run_game_task(task_fn fn, void* arg) {
    game_task_id = create_task(fn, arg);
    if (task_alive(game_task_id) && !stop_flag) {
        add_event_handler(EV_IDLE, watch_game_task);
        main_loop();
        remove_event_handler(EV_IDLE, watch_game_task);
    }
    stop_flag = 0;
    wait_task_end(game_task_id);
    game_task_id = -1;
}
