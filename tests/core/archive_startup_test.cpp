// A damaged or missing main archive stops the program at start with the
// mapping error naming the file, exit code 1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive_test_support.h"
#include "startup/run/game_main.h"

using namespace test_archive;

namespace {

class ArchiveStartup : public scratch_fixture {
  protected:
    std::string ini;
    std::string export_folder;

    void SetUp() override {
        scratch_fixture::SetUp();
        ini = (root / "vorthan.ini").string();
        write_file(ini, "[paths]\nroot=" + root.string() + "\n");
        export_folder = (root / "strings").string();
    }

    int run_export() {
        std::vector<std::string> args = {"vorthan", "-f", ini, "-s", export_folder};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        return game_main(static_cast<int>(args.size()), argv.data());
    }
};

TEST_F(ArchiveStartup, MissingMainArchiveIsReportedByName) {
    EXPECT_EXIT(run_export(), ::testing::ExitedWithCode(1), "Failed to open file for mapping: .*VORTHAN.DDL");
}

TEST_F(ArchiveStartup, DamagedMainArchiveIsReportedWithItsReason) {
    auto bytes = image({{"POPISY.TXT", "texts"}});
    put_u32(bytes, 8 + 12, 8 + 16 * 500);  // a directory of 500 entries in a 41-byte file
    write_file(root / "VORTHAN.DDL", bytes);
    EXPECT_EXIT(run_export(), ::testing::ExitedWithCode(1),
                "Failed to map file:.*VORTHAN.DDL\n\n Reason: the directory claims 500 entries");
}

}  // namespace
