#include "world/map_services.h"

map_services_table map_services;

void reset_map_services() {
    map_services = map_services_table{};
}
