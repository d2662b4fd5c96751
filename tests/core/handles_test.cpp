// The handle table: lazy loading and decoding, aliases, locks, the by-name
// loader and the allocator.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "archive_test_support.h"
#include "core/decoders.h"

using namespace test_archive;

// The allocation-failure test needs malloc to return null under ASan.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

struct decoder_call {
    handle_id id;
    std::string input;
};
std::vector<decoder_call> calls;

// Records its calls and returns a heap copy with "+" appended.
void* appending_decoder(void* data, int32_t* length, handle_id id) {
    calls.push_back({id, data ? text(data, *length) : "<null>"});
    auto* out = static_cast<char*>(game_alloc(static_cast<size_t>(*length) + 1));
    if (*length) std::memcpy(out, data, static_cast<size_t>(*length));
    out[*length] = '+';
    *length += 1;
    return out;
}

void* other_decoder(void* data, int32_t*, handle_id) {
    return data;
}

class Handles : public scratch_fixture {
  protected:
    void SetUp() override {
        scratch_fixture::SetUp();
        calls.clear();
    }
    std::string data_of(handle_id id) {
        void* data = get_handle_data(id);
        return data ? text(data, handle_length(id)) : "<null>";
    }
    void archive(const std::vector<entry>& entries) { register_archive(archive_file("main.ddl", entries)); }
};

TEST_F(Handles, UntouchedAndUndefinedHandlesHaveNoData) {
    EXPECT_EQ(handle_length(1234), -1);
    EXPECT_EQ(get_handle_data(1234), nullptr);
    EXPECT_EQ(handle_info(1234), nullptr);  // reading does not allocate the page
    ASSERT_NE(define_handle(1234, "x.dat", nullptr, PATH_GUI), nullptr);
    EXPECT_EQ(handle_length(1235), -1);
    EXPECT_EQ(handle_length(1234), 0);  // defined, not loaded
    EXPECT_EQ(highest_handle(), 1234);
}

TEST_F(Handles, ArchiveDataIsDecodedOnceWithTheHandleNumber) {
    archive({{"DESK.PCX", "desk"}});
    const handle_record* r = define_handle(7, "desk.pcx", appending_decoder, PATH_GUI);
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r->name, "DESK.PCX");
    EXPECT_NE(r->location, 0u);
    EXPECT_EQ(r->state, HANDLE_DEFINED);
    EXPECT_TRUE(calls.empty());  // nothing is read before first use
    EXPECT_EQ(data_of(7), "desk+");
    EXPECT_EQ(data_of(7), "desk+");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].id, 7);
    EXPECT_EQ(calls[0].input, "desk");
    EXPECT_EQ(r->state, HANDLE_LOADED);
}

TEST_F(Handles, UndecodedArchiveDataIsUsedInPlace) {
    archive({{"FONT.FON", "glyphs"}});
    define_handle(16, "font.fon", nullptr, PATH_FONTS);
    void* data = get_handle_data(16);
    EXPECT_TRUE(is_archive_memory(data));
    EXPECT_EQ(handle_length(16), 6);
    release_handle(16);  // must not free archive memory (ASan would object)
    EXPECT_EQ(data_of(16), "glyphs");
}

TEST_F(Handles, EmptyLastEntryIsStillArchiveMemory) {
    archive({{"FIRST.DAT", "1"}, {"LAST.DAT", ""}});
    define_handle(8, "LAST.DAT", appending_decoder, PATH_DATA);
    EXPECT_EQ(data_of(8), "+");  // the loader must not free the empty input
    int32_t length = -1;
    void* data = load_file("LAST.DAT", PATH_DATA, &length);
    EXPECT_EQ(length, 0);
    EXPECT_TRUE(is_archive_memory(data));
    free_file_data(data);
}

TEST_F(Handles, LooseFilesAreReadFromTheHandlesFolder) {
    write_file(root / "maps" / "postavy.dat", std::string("party"));
    define_handle(76, "postavy.dat", appending_decoder, PATH_MAPS);
    EXPECT_EQ(handle_info(76)->location, 0u);
    EXPECT_EQ(data_of(76), "party+");
}

TEST_F(Handles, EmptyNameGivesTheDecoderNothing) {
    define_handle(66, "", appending_decoder, PATH_DATA);
    EXPECT_EQ(data_of(66), "+");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].input, "<null>");
}

TEST_F(Handles, SameNameAndDecoderMakesAnAliasThatSharesTheData) {
    archive({{"TELEP00.PCX", "t"}});
    define_handle(129, "TELEP00.PCX", appending_decoder, PATH_GUI);
    const handle_record* alias = define_handle(300, "TELEP00.PCX", appending_decoder, PATH_GUI);
    ASSERT_NE(alias, nullptr);
    EXPECT_EQ(alias->state, HANDLE_ALIAS);
    EXPECT_EQ(alias->location, 129u);
    EXPECT_EQ(get_handle_data(300), get_handle_data(129));
    EXPECT_EQ(handle_length(300), 2);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].id, 129);  // the decoder ran for the target
    // A different decoder is a different resource.
    EXPECT_EQ(define_handle(301, "TELEP00.PCX", other_decoder, PATH_GUI)->state, HANDLE_DEFINED);
}

TEST_F(Handles, LowerCaseNameNeverMatchesAStoredName) {
    archive({{"DESK.PCX", "d"}});
    define_handle(0, "desk.pcx", appending_decoder, PATH_GUI);
    const handle_record* second = define_handle(400, "desk.pcx", appending_decoder, PATH_GUI);
    EXPECT_EQ(second->state, HANDLE_DEFINED);
    EXPECT_NE(get_handle_data(0), get_handle_data(400));
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(find_handle("desk.pcx", appending_decoder), -1);
    EXPECT_EQ(find_handle("DESK.PCX", appending_decoder), 0);
    EXPECT_EQ(find_handle("", appending_decoder), -1);
}

TEST_F(Handles, RedefiningWithTheSameNameKeepsTheLoadedData) {
    archive({{"A.PCX", "a"}});
    define_handle(5, "A.PCX", appending_decoder, PATH_GUI);
    void* data = get_handle_data(5);
    EXPECT_EQ(define_handle(5, "A.PCX", appending_decoder, PATH_GUI)->state, HANDLE_LOADED);
    EXPECT_EQ(get_handle_data(5), data);
    // Another name releases the old data and starts over.
    write_file(root / "gui" / "B.PCX", std::string("b"));
    define_handle(5, "b.pcx", appending_decoder, PATH_GUI);
    EXPECT_EQ(data_of(5), "b+");
}

TEST_F(Handles, LockedHandleRefusesReleaseRedefinitionAndUndefinition) {
    archive({{"A.PCX", "a"}});
    define_handle(5, "A.PCX", appending_decoder, PATH_GUI);
    void* data = get_handle_data(5);
    EXPECT_EQ(lock_handle(5), 1);
    EXPECT_EQ(lock_handle(5), 2);
    EXPECT_EQ(release_handle(5), nullptr);
    EXPECT_EQ(define_handle(5, "OTHER.PCX", nullptr, PATH_GUI), nullptr);
    EXPECT_EQ(undefine_handle(5), nullptr);
    reload_handle(5);
    EXPECT_EQ(get_handle_data(5), data);
    EXPECT_STREQ(handle_info(5)->name, "A.PCX");
    EXPECT_EQ(unlock_handle(5), 1);
    EXPECT_EQ(release_handle(5), nullptr);
    EXPECT_EQ(unlock_handle(5), 0);
    EXPECT_EQ(unlock_handle(5), 0);
    EXPECT_NE(release_handle(5), nullptr);
    EXPECT_EQ(handle_info(5)->state, HANDLE_DEFINED);
    EXPECT_NE(undefine_handle(5), nullptr);
    EXPECT_EQ(handle_length(5), -1);
}

TEST_F(Handles, LockingAnAliasLocksItsTarget) {
    archive({{"T.PCX", "t"}});
    define_handle(10, "T.PCX", appending_decoder, PATH_GUI);
    define_handle(11, "T.PCX", appending_decoder, PATH_GUI);
    lock_handle(11);
    lock_handle(11);
    EXPECT_EQ(handle_info(10)->lock_count, 1);
    EXPECT_EQ(release_handle(10), nullptr);
    EXPECT_EQ(undefine_handle(10), nullptr);
    unlock_handle(11);
    EXPECT_EQ(handle_info(10)->lock_count, 1);
    unlock_handle(11);
    EXPECT_EQ(handle_info(10)->lock_count, 0);
    EXPECT_NE(release_handle(10), nullptr);
}

TEST_F(Handles, ReloadDecodesAgainAndReachesThroughAnAlias) {
    archive({{"T.PCX", "t"}});
    define_handle(10, "T.PCX", appending_decoder, PATH_GUI);
    define_handle(11, "T.PCX", appending_decoder, PATH_GUI);
    get_handle_data(11);
    reload_handle(11);
    EXPECT_EQ(handle_info(10)->state, HANDLE_DEFINED);
    EXPECT_EQ(data_of(11), "t+");
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(Handles, WritableDataIsAHeapCopyOfArchiveData) {
    archive({{"A.DAT", "abc"}});
    define_handle(3, "A.DAT", nullptr, PATH_DATA);
    void* shared = get_handle_data(3);
    auto* writable = static_cast<char*>(get_handle_writable(3));
    ASSERT_NE(writable, nullptr);
    EXPECT_NE(static_cast<void*>(writable), shared);
    EXPECT_FALSE(is_archive_memory(writable));
    writable[0] = 'X';
    EXPECT_EQ(data_of(3), "Xbc");
    EXPECT_EQ(text(shared, 3), "abc");
    EXPECT_EQ(get_handle_writable(3), writable);  // already private
}

TEST_F(Handles, LoadFileOfAnArchivedNameIsNotFreed) {
    archive({{"LOADING.HI", "picture"}});
    write_file(root / "gui" / "other.dat", std::string("loose"));
    int32_t length = 0;
    void* archived = load_file("loading.hi", PATH_GUI, &length);
    EXPECT_TRUE(is_archive_memory(archived));
    EXPECT_EQ(text(archived, length), "picture");
    free_file_data(archived);  // a no-op: ASan would report a bad free
    EXPECT_EQ(text(archived, length), "picture");
    void* loose = load_file("other.dat", PATH_GUI, &length);
    EXPECT_FALSE(is_archive_memory(loose));
    EXPECT_EQ(text(loose, length), "loose");
    free_file_data(loose);
    void* copy = load_file_writable("LOADING.HI", PATH_GUI, &length);
    EXPECT_FALSE(is_archive_memory(copy));
    EXPECT_EQ(text(copy, length), "picture");
    free_file_data(copy);
}

TEST_F(Handles, ResourceAvailableLooksInArchivesAndFolders) {
    archive({{"IN.PCX", "a"}});
    write_file(root / "gui" / "loose.pcx", std::string("b"));
    write_file(root / "gui" / "empty.pcx", std::string());
    EXPECT_TRUE(resource_available(PATH_GUI, "in.pcx"));
    EXPECT_TRUE(resource_available(PATH_GUI, "LOOSE.PCX"));
    EXPECT_FALSE(resource_available(PATH_GUI, "empty.pcx"));  // an empty file counts as missing
    EXPECT_FALSE(resource_available(PATH_GUI, "none.pcx"));
    EXPECT_FALSE(resource_available(PATH_MAPS, "loose.pcx"));
}

TEST_F(Handles, PatchModeLoadsTheLooseFileInstead) {
    archive({{"DESK.PCX", "archived"}});
    write_file(root / "gui" / "Desk.Pcx", std::string("loose"));
    patch_mode = true;
    define_handle(0, "desk.pcx", nullptr, PATH_GUI);
    EXPECT_EQ(data_of(0), "loose");
}

using HandlesDeathTest = Handles;

TEST_F(HandlesDeathTest, MissingOrEmptyFilesAreLoadErrors) {
    write_file(root / "maps" / "empty.dat", std::string());
    define_handle(20, "empty.dat", nullptr, PATH_MAPS);
    define_handle(21, "gone.dat", nullptr, PATH_MAPS);
    EXPECT_EXIT(get_handle_data(20), ::testing::ExitedWithCode(1),
                "Load error while loading file: .*EMPTY.DAT");
    EXPECT_EXIT(get_handle_data(21), ::testing::ExitedWithCode(1),
                "Load error while loading file: .*GONE.DAT");
    EXPECT_EXIT(load_file("gone.dat", PATH_MAPS, nullptr), ::testing::ExitedWithCode(1), "gone.dat");
    EXPECT_EXIT(read_whole_file((root / "maps").c_str(), nullptr), ::testing::ExitedWithCode(1),
                "Load error while loading file");
}

TEST_F(HandlesDeathTest, AllocationFailureIsFatal) {
    EXPECT_EQ(game_alloc(0), nullptr);
    void* p = game_alloc(10);
    EXPECT_EQ(game_realloc(p, 0), nullptr);  // frees
    p = game_realloc(nullptr, 16);
    p = game_realloc(p, 4096);
    game_free(p);
    const size_t huge = size_t(1) << 60;
    EXPECT_EXIT(game_alloc(huge), ::testing::ExitedWithCode(1),
                "memory allocation error 1152921504606846976");
    EXPECT_EXIT(game_realloc(nullptr, huge), ::testing::ExitedWithCode(1), "memory allocation error");
}

// Alias records keep their own name, decoder and folder; aliases never point
// at aliases; and a target that is redefined or undefined leaves its aliases
// working as handles of their own.
TEST_F(Handles, AliasKeepsItsOwnNameAndDecoder) {
    archive({{"T.PCX", "t"}});
    define_handle(10, "t.pcx", nullptr, PATH_GUI);
    define_handle(20, "T.PCX", appending_decoder, PATH_GUI);
    const handle_record* alias = define_handle(21, "T.PCX", appending_decoder, PATH_GUI);
    EXPECT_STREQ(alias->name, "T.PCX");
    EXPECT_EQ(alias->decoder, appending_decoder);
    EXPECT_EQ(alias->folder, PATH_GUI);
}

TEST_F(Handles, FindHandleSkipsAliasRecords) {
    archive({{"X.PCX", "x"}});
    define_handle(10, "X.PCX", appending_decoder, PATH_GUI);
    define_handle(5, "X.PCX", appending_decoder, PATH_GUI);  // a lower number aliasing 10
    EXPECT_EQ(find_handle("X.PCX", appending_decoder), 10);
    const handle_record* third = define_handle(7, "X.PCX", appending_decoder, PATH_GUI);
    EXPECT_EQ(third->location, 10u);  // not a chain through 5
}

TEST_F(Handles, UndefiningATargetKeepsItsAliasesWorking) {
    archive({{"X.PCX", "x"}});
    define_handle(10, "X.PCX", appending_decoder, PATH_GUI);
    define_handle(5, "X.PCX", appending_decoder, PATH_GUI);
    define_handle(7, "X.PCX", appending_decoder, PATH_GUI);
    get_handle_data(10);
    ASSERT_NE(undefine_handle(10), nullptr);
    EXPECT_EQ(handle_length(10), -1);
    // The lowest alias stands on its own; the other now aliases it.
    EXPECT_EQ(handle_info(5)->state, HANDLE_DEFINED);
    EXPECT_EQ(handle_info(7)->state, HANDLE_ALIAS);
    EXPECT_EQ(handle_info(7)->location, 5u);
    EXPECT_EQ(data_of(7), "x+");
    EXPECT_EQ(get_handle_data(5), get_handle_data(7));
    EXPECT_EQ(calls.back().id, 5);
    EXPECT_EQ(find_handle("X.PCX", appending_decoder), 5);
}

TEST_F(Handles, RedefiningATargetKeepsItsAliasesWorking) {
    archive({{"X.PCX", "x"}, {"Y.PCX", "y"}});
    define_handle(10, "X.PCX", appending_decoder, PATH_GUI);
    define_handle(11, "X.PCX", appending_decoder, PATH_GUI);
    define_handle(10, "Y.PCX", appending_decoder, PATH_GUI);
    EXPECT_EQ(data_of(10), "y+");
    EXPECT_EQ(data_of(11), "x+");
}

TEST_F(Handles, AliasChainsCannotLoop) {
    archive({{"X.PCX", "x"}});
    define_handle(10, "X.PCX", appending_decoder, PATH_GUI);
    define_handle(5, "X.PCX", appending_decoder, PATH_GUI);
    undefine_handle(10);
    define_handle(10, "X.PCX", appending_decoder, PATH_GUI);  // now aliases 5, which stands alone
    EXPECT_EQ(handle_info(10)->location, 5u);
    EXPECT_EQ(handle_info(5)->state, HANDLE_DEFINED);
    EXPECT_EQ(data_of(10), "x+");
    // Redefining an alias as its own target's name changes nothing harmful.
    define_handle(5, "X.PCX", appending_decoder, PATH_GUI);
    EXPECT_EQ(data_of(5), "x+");
    EXPECT_EQ(data_of(10), "x+");
}

TEST_F(Handles, UndefiningAnAliasLeavesTheTargetAlone) {
    archive({{"X.PCX", "x"}});
    define_handle(10, "X.PCX", appending_decoder, PATH_GUI);
    define_handle(11, "X.PCX", appending_decoder, PATH_GUI);
    undefine_handle(11);
    EXPECT_EQ(handle_info(10)->alias_count, 0);
    EXPECT_EQ(data_of(10), "x+");
    undefine_handle(10);
    EXPECT_EQ(handle_length(11), -1);
}

TEST_F(Handles, FreeAllHandlesFreesEverythingAndUnmaps) {
    archive({{"A", "a"}});
    write_file(root / "gui" / "B", std::string("b"));
    define_handle(1, "A", appending_decoder, PATH_GUI);
    define_handle(0x8064, "B", appending_decoder, PATH_GUI);
    lock_handle(1);
    get_handle_data(1);
    get_handle_data(0x8064);
    free_all_handles();  // leaks would show under ASan
    EXPECT_EQ(handle_info(1), nullptr);
    EXPECT_EQ(handle_length(0x8064), -1);
    EXPECT_EQ(archive_count(), 0);
}

}  // namespace
