#include "core/timers.h"

#include "core/events.h"

namespace {

timer_node* timer_list = nullptr;  // newest first

bool in_list(const timer_node* node) {
    for (timer_node* t = timer_list; t; t = t->next)
        if (t == node) return true;
    return false;
}

void unlink_timer(timer_node* node) {
    for (timer_node** link = &timer_list; *link; link = &(*link)->next) {
        if (*link == node) {
            *link = node->next;
            delete node;
            return;
        }
    }
}

// Marks a timer whose callback is running; the driver frees it without
// calling it again.
void mark_deleted(timer_node* t) {
    t->repetitions = TIMER_DELETED;
    t->counter = 1;
}

// One pass over the list; false when a callback changed the list so that the
// rest of the walk cannot be trusted.
bool timer_pass(bool last_pass) {
    timer_node* t = timer_list;
    while (t) {
        timer_node* next = t->next;
        // A negative counter is paused and stays where it is.
        if (t->counter < 0 || --t->counter != 0) {
            t = next;
            continue;
        }
        if (!last_pass || !t->idle) {
            t->counter = 1;  // fires in the last pass
            t = next;
            continue;
        }
        t->idle = 0;
        if (t->repetitions != TIMER_DELETED && t->callback) t->callback(t);
        t->idle = 1;
        t->counter = t->interval;
        if (t->repetitions != TIMER_FOREVER && --t->repetitions < 1) unlink_timer(t);
        if (next && !in_list(next)) return false;
        t = next;
    }
    return true;
}

}  // namespace

timer_node* add_timer(int id, int interval, int repetitions, timer_callback callback) {
    auto* t = new timer_node;
    t->id = id;
    t->counter = interval;
    t->interval = interval;
    t->repetitions = repetitions;
    t->callback = callback;
    t->next = timer_list;
    timer_list = t;
    return t;
}

void remove_timers(int id) {
    timer_node** link = &timer_list;
    while (*link) {
        timer_node* t = *link;
        if (t->id != id) {
            link = &t->next;
        } else if (t->idle) {
            *link = t->next;
            delete t;
        } else {
            mark_deleted(t);
            link = &t->next;
        }
    }
}

timer_node* find_timer(int id) {
    for (timer_node* t = timer_list; t; t = t->next)
        if (t->id == id) return t;
    return nullptr;
}

int trigger_timer(int id, int pause) {
    timer_node* t = find_timer(id);
    if (!t) return 0;
    t->counter = pause ? -1 : 1;
    return t->counter;
}

void clear_timers() {
    // A timer whose callback is running (clearing from inside a callback)
    // stays linked until the driver is done with it.
    timer_node** link = &timer_list;
    while (*link) {
        timer_node* t = *link;
        if (t->idle) {
            *link = t->next;
            delete t;
        } else {
            mark_deleted(t);
            link = &t->next;
        }
    }
}

int timer_count() {
    int n = 0;
    for (timer_node* t = timer_list; t; t = t->next) ++n;
    return n;
}

void run_timers(int ticks) {
    for (int pass = 1; pass <= ticks; ++pass)
        if (!timer_pass(pass == ticks)) return;
}

void timer_driver(event_msg& msg, void**) {
    if (msg.number != EV_TICK) return;
    run_timers(msg.next_int());
}
