// forge unpack: lists or extracts the entries of a resource archive.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>

#include "base/file_write.h"
#include "commands.h"
#include "forge/archive_writer.h"

namespace {

int run_unpack(const std::vector<std::string>& args) {
    std::string archive, folder = ".";
    bool list = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-l") {
            list = true;
        } else if (args[i] == "-o") {
            if (i + 1 >= args.size()) throw std::runtime_error("-o needs a value");
            folder = args[++i];
        } else if (archive.empty()) {
            archive = args[i];
        } else {
            throw std::runtime_error("unexpected argument " + args[i]);
        }
    }
    if (archive.empty()) throw std::runtime_error("no archive given");
    std::ifstream in(archive, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + archive);
    const std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<forge::archive_listing> entries;
    try {
        entries = forge::read_archive(image.data(), image.size());
    } catch (const std::exception& e) {
        throw std::runtime_error(archive + ": " + e.what());
    }
    if (list) {
        for (const auto& e : entries) std::printf("%-12s %10u  at %u\n", e.name.c_str(), e.length, e.record);
        return 0;
    }
    std::set<std::string> written;
    for (const auto& e : entries) {
        // Names come from the file: never let one leave the output folder.
        if (!forge::entry_is_safe_file_name(e.name) || e.name.find('?') != std::string::npos)
            throw std::runtime_error(archive + ": entry name '" + e.name + "' cannot be a file name");
        if (!written.insert(e.name).second) {
            // The player only ever sees the first entry of a name.
            std::fprintf(stderr, "forge unpack: %s: skipping a second entry named %s\n", archive.c_str(),
                         e.name.c_str());
            continue;
        }
        const std::string path = folder + "/" + e.name;
        const std::string_view bytes(reinterpret_cast<const char*>(e.data), e.length);
        if (!write_file_atomic(path, bytes)) throw std::runtime_error("cannot write " + path);
    }
    return 0;
}

forge_tool::forge_registration registration({"unpack", "<archive> [-l] [-o <folder>]",
                                             "lists (-l) or extracts the entries of a resource archive",
                                             run_unpack});

}  // namespace
