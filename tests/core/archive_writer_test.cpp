// The forge's archive writer: what it writes is what the player reads.
#include <gtest/gtest.h>

#include <stdexcept>

#include "archive_test_support.h"
#include "forge/archive_writer.h"

using namespace test_archive;

namespace {

class ArchiveWriter : public scratch_fixture {};

std::vector<uint8_t> bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

std::string error_of(const std::vector<forge::archive_member>& members) {
    try {
        forge::build_archive(members);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "<no error>";
}

TEST_F(ArchiveWriter, WrittenArchiveIsReadByThePlayer) {
    const std::string path = (root / "VORTHAN.DDL").string();
    forge::write_archive(path, {{"DESK.PCX", bytes("desk")}, {"SIPKY_SV.PCX", bytes("12")}, {"EMPTY", {}}});
    register_archive(path);
    int32_t length = 0;
    void* data = load_file("sipky_sv.pcx", PATH_GUI, &length);
    EXPECT_TRUE(is_archive_memory(data));
    EXPECT_EQ(text(data, length), "12");
    data = load_file("DESK.PCX", PATH_GUI, &length);
    EXPECT_EQ(text(data, length), "desk");
    EXPECT_TRUE(find_in_archives(PATH_GUI, "EMPTY", nullptr, nullptr));
}

TEST_F(ArchiveWriter, ReadingBackListsEveryEntryInOrder) {
    const auto image = forge::build_archive({{"B", bytes("bb")}, {"A", bytes("a")}});
    const auto entries = forge::read_archive(image.data(), image.size());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "B");
    EXPECT_EQ(text(entries[0].data, static_cast<int32_t>(entries[0].length)), "bb");
    EXPECT_EQ(entries[1].name, "A");
    EXPECT_EQ(entries[1].record, 8u + 32u + 6u);
    const std::vector<uint8_t> cut(image.begin(), image.end() - 1);
    EXPECT_THROW(forge::read_archive(cut.data(), cut.size()), std::runtime_error);
}

TEST_F(ArchiveWriter, MemberNamesAreUpperCasedBaseNames) {
    EXPECT_EQ(forge::archive_member_name("some/folder/desk.pcx"), "DESK.PCX");
    EXPECT_EQ(forge::archive_member_name("sipky_sv.pcx"), "SIPKY_SV.PCX");
    EXPECT_THROW(forge::archive_member_name("folder/longername.pcx"), std::runtime_error);
    try {
        forge::archive_member_name("x/longername.pcx");
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "x/longername.pcx: entry name 'LONGERNAME.PCX' is longer than 12 characters");
    }
    EXPECT_THROW(forge::archive_member_name("folder/"), std::runtime_error);
    EXPECT_THROW(forge::archive_member_name("sp ace.pcx"), std::runtime_error);
}

TEST_F(ArchiveWriter, BadOrRepeatedNamesAreRefused) {
    EXPECT_EQ(error_of({{"A.PCX", {}}, {"B", {}}, {"A.PCX", {}}}), "entry name 'A.PCX' appears twice");
    EXPECT_EQ(error_of({{"desk.pcx", {}}}), "entry name 'desk.pcx' is not upper case");
    EXPECT_EQ(error_of({{"THIRTEEN.CHAR", {}}}), "entry name 'THIRTEEN.CHAR' is longer than 12 characters");
    EXPECT_EQ(error_of({{"", {}}}), "an archive entry needs a name");
    EXPECT_EQ(error_of({{"A/B", {}}}), "entry name 'A/B' holds a character that cannot be stored");
}

TEST_F(ArchiveWriter, AnEmptyArchiveIsValid) {
    const auto image = forge::build_archive({});
    EXPECT_EQ(image.size(), 8u);
    EXPECT_TRUE(forge::read_archive(image.data(), image.size()).empty());
}

}  // namespace

namespace {

TEST(ArchiveUnpack, EntryNamesThatWouldLeaveTheFolderAreNotFileNames) {
    EXPECT_TRUE(forge::entry_is_safe_file_name("DESK.PCX"));
    EXPECT_TRUE(forge::entry_is_safe_file_name("A"));
    for (const char* bad : {"", ".", "..", "../ETC", "A/B", "A\\B", "TAB\tX"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(forge::entry_is_safe_file_name(bad));
    }
}

}  // namespace
