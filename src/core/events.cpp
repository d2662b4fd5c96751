#include "core/events.h"

#include <cstdlib>

#include "core/tasks.h"

// ---- Event arguments --------------------------------------------------------

void event_msg::push(event_arg arg) {
    if (arg_count < max_args) args[arg_count++] = arg;
}

namespace {

// Takes the next argument, or an empty one past the end; the cursor moves
// either way so later arguments keep their positions.
const event_arg& take(event_msg& msg) {
    static const event_arg none{};
    if (msg.cursor >= msg.arg_count) {
        if (msg.cursor < event_msg::max_args) ++msg.cursor;
        return none;
    }
    return msg.args[msg.cursor++];
}

int64_t as_integer(const event_arg& arg) {
    if (auto v = std::get_if<int32_t>(&arg)) return *v;
    if (auto v = std::get_if<uint32_t>(&arg)) return *v;
    if (auto v = std::get_if<int64_t>(&arg)) return *v;
    return 0;
}

}  // namespace

int32_t event_msg::next_int() {
    return static_cast<int32_t>(as_integer(take(*this)));
}

uint32_t event_msg::next_uint() {
    return static_cast<uint32_t>(as_integer(take(*this)));
}

int64_t event_msg::next_int64() {
    return as_integer(take(*this));
}

const void* event_msg::next_pointer() {
    const event_arg& arg = take(*this);
    if (auto v = std::get_if<const void*>(&arg)) return *v;
    return nullptr;
}

event_handler event_msg::next_handler() {
    const event_arg& arg = take(*this);
    if (auto v = std::get_if<event_handler>(&arg)) return *v;
    return nullptr;
}

// ---- The tree -----------------------------------------------------------------

namespace {

struct handler_node {
    event_handler fn = nullptr;
    void* data = nullptr;
    uint8_t enabled = 1;  // 0 while running, so a nested dispatch skips it
    int running = 0;
    handler_node* next = nullptr;
};

struct event_node {
    int32_t number = 0;
    int nesting = 0;  // dispatches of this event under way
    handler_node* handlers = nullptr;
    event_node* next = nullptr;
};

event_node* event_list = nullptr;
uint8_t* current_enabled = nullptr;

event_node* find_event(int32_t number) {
    for (event_node* ev = event_list; ev; ev = ev->next)
        if (ev->number == number) return ev;
    return nullptr;
}

handler_node* find_handler(event_node* ev, event_handler fn) {
    for (handler_node* h = ev->handlers; h; h = h->next)
        if (h->fn == fn) return h;
    return nullptr;
}

void unlink_handler(event_node* ev, handler_node* node) {
    for (handler_node** link = &ev->handlers; *link; link = &(*link)->next) {
        if (*link == node) {
            *link = node->next;
            std::free(node->data);
            delete node;
            return;
        }
    }
}

// Frees the event node once nothing is registered and no dispatch walks it.
void drop_event_if_unused(event_node* ev) {
    if (ev->handlers || ev->nesting > 0) return;
    for (event_node** link = &event_list; *link; link = &(*link)->next) {
        if (*link == ev) {
            *link = ev->next;
            delete ev;
            return;
        }
    }
}

void add_request(event_msg& request) {
    int32_t number = request.next_int();
    event_handler fn = request.next_handler();
    if (!fn) return;
    if (event_node* ev = find_event(number); ev && find_handler(ev, fn)) return;

    event_msg init;
    init.number = EV_INIT;
    for (int i = request.cursor; i < request.arg_count; ++i) init.push(request.args[i]);
    void* slot = nullptr;
    fn(init, &slot);

    // The init call may have changed the tree; look again.
    event_node* ev = find_event(number);
    if (!ev) {
        ev = new event_node;
        ev->number = number;
        event_node** link = &event_list;
        while (*link) link = &(*link)->next;
        *link = ev;
    } else if (find_handler(ev, fn)) {
        std::free(slot);
        return;
    }
    auto* node = new handler_node;
    node->fn = fn;
    node->data = slot;
    node->next = ev->handlers;
    ev->handlers = node;
}

void remove_request(event_msg& request) {
    int32_t number = request.next_int();
    event_handler fn = request.next_handler();
    if (!fn) return;
    event_node* ev = find_event(number);
    if (!ev) return;
    handler_node* node = find_handler(ev, fn);
    if (!node) return;

    event_msg farewell;
    farewell.number = EV_REMOVE;
    if (request.cursor < request.arg_count) farewell.push(request.args[request.cursor]);
    // Cleared first, so a handler that asks for its own removal again while
    // saying goodbye is not found a second time.
    node->fn = nullptr;
    ev->nesting++;
    node->running++;
    fn(farewell, &node->data);
    node->running--;
    ev->nesting--;
    // A handler removed while it runs keeps its data until it returns.
    if (node->running == 0) unlink_handler(ev, node);
    drop_event_if_unused(ev);
}

void run_handlers(event_node* ev, const event_msg& msg) {
    ev->nesting++;
    handler_node* node = ev->handlers;
    while (node) {
        if (!node->fn || !node->enabled) {
            node = node->next;
            continue;
        }
        node->enabled = 0;
        uint8_t* outer = current_enabled;
        current_enabled = &node->enabled;
        node->running++;
        event_msg copy = msg;
        copy.cursor = 0;
        try {
            node->fn(copy, &node->data);
        } catch (...) {
            // Leave the tree usable for whoever catches this.
            node->running--;
            node->enabled = 1;
            current_enabled = outer;
            ev->nesting--;
            throw;
        }
        node->running--;
        node->enabled = 1;
        current_enabled = outer;
        if (copy.number == EV_REMOVE_SELF) node->fn = nullptr;
        handler_node* next = node->next;
        if (node->running == 0 && !node->fn) unlink_handler(ev, node);
        if (copy.number == EV_STOP) break;
        node = next;
    }
    ev->nesting--;
    drop_event_if_unused(ev);
}

}  // namespace

int dispatch_message(const event_msg& msg) {
    if (msg.number == EV_ADD || msg.number == EV_REMOVE) {
        event_msg request = msg;
        request.cursor = 0;
        if (msg.number == EV_ADD)
            add_request(request);
        else
            remove_request(request);
        return 0;
    }
    if (event_node* ev = find_event(msg.number)) run_handlers(ev, msg);
    wake_waiting_tasks(msg);
    return 0;
}

void remove_event_handler(int32_t number, event_handler handler, int32_t argument) {
    dispatch_event(EV_REMOVE, number, handler, argument);
}

bool has_event_handler(int32_t number, event_handler handler) {
    event_node* ev = find_event(number);
    return ev && handler && find_handler(ev, handler);
}

void allow_reentry() {
    if (current_enabled) *current_enabled = 1;
}

void clear_event_tree() {
    while (event_list) {
        event_node* ev = event_list;
        event_list = ev->next;
        while (ev->handlers) {
            handler_node* h = ev->handlers;
            ev->handlers = h->next;
            std::free(h->data);
            delete h;
        }
        delete ev;
    }
    current_enabled = nullptr;
}
