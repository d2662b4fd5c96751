#include "startup/run/archive_policy.h"

#include <string>

#include "base/paths.h"
#include "base/strings.h"
#include "core/archive.h"

void open_archives() {
    if (!patch_file.empty()) register_archive(patch_file);
    if (const std::string* language = language_folder()) register_archive(build_path(*language, "gfx.ddl"));
    register_archive(build_path(path_table[PATH_DATA], "VORTHAN.DDL"));
}
