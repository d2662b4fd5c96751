// Cooperative tasks: straight-line game code that waits for events. Every task
// has its own thread, but a single baton passes between the main thread and
// the tasks, so exactly one of them runs game code at any moment.
#pragma once

#include <cstdint>
#include <functional>

struct event_msg;

using task_fn = void (*)(void* arg);

// Starts a task and runs it at once; the caller continues after the new task
// first waits or yields. Returns the task id (0-65535).
int create_task(task_fn fn, void* arg);
int create_task(std::function<void()> body);

// Asks a task to end and switches to it so that it notices; unknown ids are ignored.
void terminate_task(int id);
// True while the task exists and its function has not returned.
bool task_alive(int id);
// terminate_task, then scheduling passes until the task has ended.
void wait_task_end(int id);

// In a task: waits for the next dispatch of `number` and returns that message
// (valid until this task waits again), or null when resumed for another
// reason (terminate request). Null at once on the main thread or when the
// task is asked to terminate.
event_msg* task_wait_event(int32_t number);
// In a task: gives the baton to the main thread; resumes in a later pass.
void task_yield();
// In a task: like task_yield, but not resumed before `milliseconds` passed.
void task_sleep(int milliseconds);
// In a task: gives the baton to the main thread without counting as work,
// so an otherwise idle main loop still sleeps (loops that wait for input).
void task_pause();
// How often the running task has been resumed (0 on the main thread).
uint32_t task_resume_count();

// Id of the running task, -1 for the main thread.
int current_task_id();
bool terminate_requested();
int task_count();
bool in_main_thread();

// Main thread only: runs every ready task once, in id order (in a task it yields).
void scheduling_pass();
// Called at the end of every dispatch: runs the tasks waiting for msg.number.
void wake_waiting_tasks(const event_msg& msg);

// The id the next task tries first (tests of the id wrap).
void set_next_task_id(int id);

// Run path: creates the game task, runs the main loop until stop_flag is set
// or the game task has ended, then terminates the task and waits for its end.
void run_game_task(task_fn fn, void* arg);
