#pragma once
// Writing a whole file safely: a temporary file next to it, every write
// checked, flushed to disk, then renamed over the target.
#include <string_view>

bool write_file_atomic(std::string_view path, std::string_view bytes);
