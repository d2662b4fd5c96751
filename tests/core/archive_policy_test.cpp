// Which archives a run opens, and the order in which they are searched.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "archive_test_support.h"
#include "base/strings.h"
#include "startup/run/archive_policy.h"

using namespace test_archive;

namespace {

class ArchivePolicy : public scratch_fixture {};

std::string found_data(const char* name) {
    int slot = -1;
    uint32_t offset = 0;
    if (!find_in_archives(PATH_GUI, name, &slot, &offset)) return "<missing>";
    int32_t length = 0;
    const uint8_t* data = archive_data(slot, offset, &length);
    return text(data, length);
}

TEST_F(ArchivePolicy, OpenArchivesSearchesPatchThenLanguageThenMain) {
    write_file(root / "lang" / "en" / "GFX.DDL", image({{"A", "lang"}, {"B", "lang"}, {"C", "lang"}}));
    archive_file("VORTHAN.DDL", {{"A", "main"}, {"B", "main"}, {"C", "main"}, {"D", "main"}});
    patch_file = archive_file("patch.ddl", {{"A", "patch"}});
    set_language_folder((root / "lang" / "en").string().c_str());
    open_archives();
    EXPECT_EQ(archive_count(), 3);
    EXPECT_EQ(found_data("A"), "patch");
    EXPECT_EQ(found_data("B"), "lang");
    EXPECT_EQ(found_data("D"), "main");
}

TEST_F(ArchivePolicy, OpenArchivesNeedsTheMainArchive) {
    const std::string expected = "Failed to open file for mapping: " + (root / "VORTHAN.DDL").string();
    try {
        open_archives();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
}

TEST_F(ArchivePolicy, ALanguageFolderMustHoldItsArchive) {
    archive_file("VORTHAN.DDL", {{"A", "main"}});
    std::filesystem::create_directories(root / "lang" / "cz");
    set_language_folder((root / "lang" / "cz").string().c_str());
    EXPECT_THROW(open_archives(), std::runtime_error);
}

}  // namespace
