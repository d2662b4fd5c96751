// The fixed handles and the decoder table they are defined through.
#include <gtest/gtest.h>

#include <cstring>

#include "archive_test_support.h"
#include "core/decoders.h"
#include "startup/run/fixed_handles.h"

using namespace test_archive;

namespace {

class FixedHandles : public scratch_fixture {
  protected:
    void TearDown() override {
        for (int i = 0; i < static_cast<int>(decoder_id::count); ++i)
            register_decoder(static_cast<decoder_id>(i), nullptr);
        scratch_fixture::TearDown();
    }
};

void* shouting_decoder(void* data, int32_t* length, handle_id) {
    auto* out = static_cast<char*>(game_alloc(static_cast<size_t>(*length)));
    for (int32_t i = 0; i < *length; ++i)
        out[i] = static_cast<char>(std::toupper(static_cast<char*>(data)[i]));
    return out;
}

int defined_count() {
    int n = 0;
    for (int id = 0; id <= highest_handle(); ++id)
        if (const handle_record* r = handle_info(static_cast<handle_id>(id));
            r && r->state != HANDLE_UNDEFINED)
            ++n;
    return n;
}

void expect_row(handle_id id, const char* name, decoder_fn decoder, path_group folder) {
    SCOPED_TRACE(id);
    const handle_record* r = handle_info(id);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->state, HANDLE_DEFINED);
    EXPECT_STREQ(r->name, name);
    EXPECT_EQ(r->decoder, decoder);
    EXPECT_EQ(r->folder, folder);
}

TEST_F(FixedHandles, TableAndGeneratedGroupsAreDefined) {
    define_fixed_handles();
    // 113 rows, handle 66 and the 14 + 10 + 13 generated pictures; no two share a number.
    EXPECT_EQ(defined_count(), 113 + 1 + 37);
    EXPECT_EQ(highest_handle(), 200);
    expect_row(0, "DESK.PCX", decoder_for(decoder_id::pcx_to_pal8), PATH_GUI);
    expect_row(1, "TOPBAR.PCX", decoder_for(decoder_id::pcx_to_hicolor), PATH_GUI);
    expect_row(27, "LODKA.PCX", decoder_for(decoder_id::pcx_1040), PATH_GUI);
    expect_row(42, "BONES.PCX", decoder_for(decoder_id::pcx_to_fade), PATH_GUI);
    expect_row(166, "LESDA28A.PCX", decoder_for(decoder_id::pcx_to_fade), PATH_GRAPHICS);
    expect_row(181, "CHARGENM.PCX", decoder_for(decoder_id::pcx_to_nopal), PATH_GUI);
    expect_row(178, "TIMESE.FON", nullptr, PATH_FONTS);
    expect_row(108, "TELEPORT.MGF", nullptr, PATH_GUI);
    expect_row(15, "ENEMY.DAT", decoder_for(decoder_id::enemy_converter), PATH_MAPS);
    expect_row(24, "KOUZLA.DAT", decoder_for(decoder_id::spell_converter), PATH_MAPS);
    expect_row(200, "GLOBMAP.DAT", decoder_for(decoder_id::globmap_text), PATH_MAPS);
    expect_row(177, "RANDOM4.WAV", decoder_for(decoder_id::sample_converter), PATH_SOUNDS);
    expect_row(182, "", decoder_for(decoder_id::no_data), PATH_GUI);
    expect_row(66, "", decoder_for(decoder_id::party_bar), PATH_DATA);
    expect_row(129, "TELEP00.PCX", decoder_for(decoder_id::pcx_to_fade), PATH_GUI);
    expect_row(142, "TELEP13.PCX", decoder_for(decoder_id::pcx_to_fade), PATH_GUI);
    expect_row(153, "KILL09.PCX", decoder_for(decoder_id::pcx_to_fade), PATH_GUI);
    expect_row(198, "ARMA12.PCX", decoder_for(decoder_id::pcx_to_fade), PATH_GUI);
    EXPECT_EQ(handle_length(143 + 0), 0);  // fx.pcx, between the groups
    EXPECT_EQ(handle_length(199), -1);
}

TEST_F(FixedHandles, ArchivedEntriesAreFoundInTheirFolders) {
    register_archive(archive_file("VORTHAN.DDL", {{"DESK.PCX", "d"}, {"SADA16.FON", "f"}}));
    define_fixed_handles();
    EXPECT_NE(handle_info(0)->location, 0u);
    EXPECT_NE(handle_info(16)->location, 0u);
    EXPECT_EQ(handle_info(1)->location, 0u);
    void* font = get_handle_data(16);
    EXPECT_TRUE(is_archive_memory(font));
}

TEST_F(FixedHandles, DecoderIdentityIsStableAndRegistrationIsLate) {
    EXPECT_EQ(decoder_for(decoder_id::pcx_to_fade), decoder_for(decoder_id::pcx_to_fade));
    EXPECT_NE(decoder_for(decoder_id::pcx_to_fade), decoder_for(decoder_id::pcx_to_pal8));
    EXPECT_EQ(decoder_for(decoder_id::count), nullptr);
    register_archive(archive_file("VORTHAN.DDL", {{"DESK.PCX", "desk"}, {"TOPBAR.PCX", "top"}}));
    define_fixed_handles();
    // Defined before any decoder exists: the raw bytes, unchanged.
    void* raw = get_handle_data(1);
    EXPECT_TRUE(is_archive_memory(raw));
    EXPECT_EQ(text(raw, handle_length(1)), "top");
    // Registered later: the same handle decodes on its next load.
    register_decoder(decoder_id::pcx_to_pal8, shouting_decoder);
    EXPECT_EQ(registered_decoder(decoder_id::pcx_to_pal8), shouting_decoder);
    void* decoded = get_handle_data(0);
    EXPECT_EQ(text(decoded, handle_length(0)), "DESK");
}

TEST_F(FixedHandles, BuiltInDecodersForTheWorldMapTextAndEmptyHandle) {
    write_file(root / "maps" / "GLOBMAP.DAT", std::string("map"));
    define_fixed_handles();
    const char* text_data = static_cast<const char*>(get_handle_data(200));
    ASSERT_NE(text_data, nullptr);
    EXPECT_EQ(handle_length(200), 4);
    EXPECT_STREQ(text_data, "map");
    EXPECT_EQ(get_handle_data(182), nullptr);
    EXPECT_EQ(handle_info(182)->state, HANDLE_LOADED);
    EXPECT_EQ(handle_length(182), 0);
}

TEST_F(FixedHandles, GeneratedPicturesAliasWhenDefinedAgain) {
    define_fixed_handles();
    const handle_record* r =
        define_handle(0x8000, "TELEP05.PCX", decoder_for(decoder_id::pcx_to_fade), PATH_GUI);
    EXPECT_EQ(r->state, HANDLE_ALIAS);
    EXPECT_EQ(r->location, 134u);
    // The table's lower-case names never match again.
    EXPECT_EQ(define_handle(0x8001, "desk.pcx", decoder_for(decoder_id::pcx_to_pal8), PATH_GUI)->state,
              HANDLE_DEFINED);
}

}  // namespace
