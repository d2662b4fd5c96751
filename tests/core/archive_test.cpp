// Resource archives: registration, the directory check, search order and the
// loose-file rule of patch mode.
#include <gtest/gtest.h>

#include <stdexcept>

#include "archive_test_support.h"
#include "base/fatal.h"

using namespace test_archive;

namespace {

class Archive : public scratch_fixture {};

std::string found_data(const char* name, path_group group = PATH_GUI, int* slot_out = nullptr) {
    int slot = -1;
    uint32_t offset = 0;
    if (!find_in_archives(group, name, &slot, &offset)) return "<missing>";
    if (slot_out) *slot_out = slot;
    int32_t length = 0;
    const uint8_t* data = archive_data(slot, offset, &length);
    return text(data, length);
}

// The full message of a failed registration, nested reason included.
std::string registration_error(const std::string& path) {
    try {
        register_archive(path);
    } catch (const std::exception& e) {
        return exception_text(e);
    }
    return "<no error>";
}

TEST_F(Archive, LaterArchiveDoesNotShadowEarlierName) {
    register_archive(archive_file("first.ddl", {{"DESK.PCX", "first"}}));
    register_archive(archive_file("second.ddl", {{"OTHER.PCX", "x"}, {"DESK.PCX", "second"}}));
    int slot = -1;
    EXPECT_EQ(found_data("DESK.PCX", PATH_GUI, &slot), "first");
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(found_data("OTHER.PCX", PATH_GUI, &slot), "x");
    EXPECT_EQ(slot, 1);
}

TEST_F(Archive, FirstEntryOfARepeatedNameWins) {
    register_archive(archive_file("a.ddl", {{"TWICE.DAT", "one"}, {"TWICE.DAT", "two"}}));
    EXPECT_EQ(found_data("TWICE.DAT"), "one");
}

TEST_F(Archive, NamesCompareOnTwelveCharactersByteForByte) {
    register_archive(archive_file("a.ddl", {{"SIPKY_SV.PCX", "full"}, {"DESK.PCX", "desk"}}));
    // The 12-character entry has no terminator: its offset follows directly.
    EXPECT_EQ(found_data("SIPKY_SV.PCX"), "full");
    EXPECT_EQ(found_data("SIPKY_SV.PCX.OLD"), "full");  // a longer name matches on its first 12
    EXPECT_EQ(found_data("SIPKY_SV.PC"), "<missing>");  // a shorter one does not
    EXPECT_EQ(found_data("desk.pcx"), "<missing>");     // case matters; callers upper-case first
    EXPECT_EQ(found_data("DESK.PCXX"), "<missing>");
}

TEST_F(Archive, DataIsUsedInPlaceFromTheMapping) {
    register_archive(archive_file("a.ddl", {{"A.DAT", "abc"}, {"EMPTY.DAT", ""}}));
    int slot = 0;
    uint32_t offset = 0;
    ASSERT_TRUE(find_in_archives(PATH_DATA, "A.DAT", &slot, &offset));
    int32_t length = -1;
    const uint8_t* data = archive_data(slot, offset, &length);
    EXPECT_EQ(text(data, length), "abc");
    EXPECT_TRUE(is_archive_memory(data));
    std::string heap = "abc";
    EXPECT_FALSE(is_archive_memory(heap.data()));
    ASSERT_TRUE(find_in_archives(PATH_DATA, "EMPTY.DAT", &slot, &offset));
    EXPECT_NE(archive_data(slot, offset, &length), nullptr);
    EXPECT_EQ(length, 0);
    unmap_all_archives();
    EXPECT_FALSE(is_archive_memory(data));
    EXPECT_EQ(archive_count(), 0);
    EXPECT_FALSE(find_in_archives(PATH_DATA, "A.DAT", &slot, &offset));
}

TEST_F(Archive, PatchModePrefersALooseFileOfAnyCase) {
    register_archive(archive_file("a.ddl", {{"DESK.PCX", "archived"}}));
    write_file(root / "gui" / "desk.pcx", std::string("loose"));
    EXPECT_EQ(found_data("DESK.PCX"), "archived");  // patch mode off: the archive
    patch_mode = true;
    EXPECT_EQ(found_data("DESK.PCX"), "<missing>");  // the caller loads the loose file
    // Only the group's own folder counts.
    EXPECT_EQ(found_data("DESK.PCX", PATH_MAPS), "archived");
}

TEST_F(Archive, PatchModeIgnoresAnEmptyLooseFile) {
    register_archive(archive_file("a.ddl", {{"DESK.PCX", "archived"}}));
    write_file(root / "gui" / "DESK.PCX", std::string());
    patch_mode = true;
    EXPECT_EQ(found_data("DESK.PCX"), "archived");
}

TEST_F(Archive, AnArchiveWithoutEntriesRegisters) {
    std::vector<uint8_t> bytes(8, 0);
    put_u32(bytes, 4, 8);
    write_file(root / "empty.ddl", bytes);
    register_archive((root / "empty.ddl").string());
    EXPECT_EQ(archive_count(), 1);
    EXPECT_EQ(found_data("A"), "<missing>");
}

TEST_F(Archive, FilesThatCannotBeMappedAreReportedByName) {
    const std::string missing = (root / "nothere.ddl").string();
    EXPECT_EQ(registration_error(missing), "Failed to open file for mapping: " + missing);
    write_file(root / "zero.ddl", std::string());
    EXPECT_EQ(registration_error((root / "zero.ddl").string()),
              "Failed to create mapping of file:" + (root / "zero.ddl").string());
    EXPECT_EQ(archive_count(), 0);
}

TEST_F(Archive, LookupOfTheFileNameIgnoresCase) {
    const std::string path = archive_file("MAIN.DDL", {{"A", "a"}});
    register_archive((root / "main.ddl").string());
    EXPECT_EQ(found_data("A"), "a");
    (void)path;
}

// Every broken image is refused with the mapping error naming the file and
// the reason, and leaves no slot behind.
TEST_F(Archive, DamagedArchivesAreRefusedBeforeAnyEntryIsRead) {
    const std::vector<uint8_t> good = image({{"ONE.DAT", "1234"}, {"TWO.DAT", "56"}});
    // good: directory 8..40, ONE record at 40 (4+4), TWO record at 48 (4+2), 54 bytes.
    ASSERT_EQ(good.size(), 54u);
    struct damage {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reason;
    };
    std::vector<damage> cases;
    cases.push_back({"truncated header", {good.begin(), good.begin() + 6}, "fewer than the 8"});
    auto dir_outside = good;
    put_u32(dir_outside, 4, 1000);
    cases.push_back({"directory beyond the end", dir_outside, "directory at offset 1000 lies outside"});
    auto dir_in_header = good;
    put_u32(dir_in_header, 4, 2);
    cases.push_back({"directory inside the header", dir_in_header, "overlaps the archive header"});
    auto too_many = good;
    put_u32(too_many, 8 + 12, 8 + 16 * 1000);
    cases.push_back(
        {"directory claiming 1000 entries", too_many, "claims 1000 entries but the file holds room for 2"});
    auto before_dir = good;
    put_u32(before_dir, 4, 24);
    put_u32(before_dir, 24 + 12, 8);
    cases.push_back({"first record before the directory", before_dir, "lies before the directory"});
    auto record_outside = good;
    put_u32(record_outside, 8 + 16 + 12, 0x7FFFFFF0);
    cases.push_back({"record offset beyond the end", record_outside, "entry 1 (TWO.DAT): its data record"});
    auto record_at_zero = good;
    put_u32(record_at_zero, 8 + 16 + 12, 0);
    cases.push_back({"record at offset 0", record_at_zero, "entry 1 (TWO.DAT): its data record at offset 0"});
    auto long_length = good;
    put_u32(long_length, 48, 3);
    cases.push_back({"length one byte too long", long_length, "3 bytes of data at offset 52 run past"});
    auto huge_length = good;
    put_u32(huge_length, 40, 0xFFFFFFFF);
    cases.push_back({"length near 4 GiB", huge_length, "entry 0 (ONE.DAT): 4294967295 bytes"});
    cases.push_back(
        {"truncated data", {good.begin(), good.end() - 1}, "run past the end of the file (53 bytes)"});

    for (const damage& c : cases) {
        SCOPED_TRACE(c.what);
        const auto path = root / "bad.ddl";
        write_file(path, c.bytes);
        const std::string message = registration_error(path.string());
        EXPECT_EQ(message.rfind("Failed to map file:" + path.string() + "\n\n Reason: ", 0), 0u) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        EXPECT_EQ(archive_count(), 0);
    }
}

TEST_F(Archive, MemoryImagesAreCheckedLikeFiles) {
    const std::vector<uint8_t> good = image({{"A", "xyz"}});
    register_archive_image("image", good.data(), good.size());
    EXPECT_EQ(found_data("A"), "xyz");
    const std::vector<uint8_t> cut(good.begin(), good.end() - 2);
    EXPECT_THROW(register_archive_image("cut", cut.data(), cut.size()), std::runtime_error);
    EXPECT_EQ(archive_count(), 1);
}

TEST_F(Archive, AFifthArchiveEndsTheProgram) {
    const std::string path = archive_file("a.ddl", {{"A", "a"}});
    for (int i = 0; i < ARCHIVE_SLOTS; ++i) register_archive(path);
    EXPECT_DEATH(register_archive(path), "memman: Too many patches");
}

}  // namespace
