#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/events_cursor.h"
#include "core/handles.h"

namespace {

struct shown {
    const void* picture;
    int x, y;
    bool operator==(const shown&) const = default;
};
std::vector<shown> handed;
void record_cursor(const void* picture, size_t, int x, int y) {
    handed.push_back({picture, x, y});
}

// Icon library data: icon i is filled with the byte i + 1.
void* icon_library(void*, int32_t* length, handle_id id) {
    int icons = id == 0x8101 ? 2 : ICONS_PER_LIBRARY;
    auto* data = static_cast<uint8_t*>(game_alloc(icons * ICON_SIZE));
    for (int i = 0; i < icons; ++i) std::memset(data + i * ICON_SIZE, i + 1, ICON_SIZE);
    *length = icons * ICON_SIZE;
    return data;
}
void* small_picture(void*, int32_t* length, handle_id) {
    *length = 16;
    return game_alloc(16);
}

class Cursor : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_cursor();
        handed.clear();
        set_cursor_display(record_cursor);
    }
    void TearDown() override {
        set_cursor_display(nullptr);
        reset_cursor();
    }
};

TEST_F(Cursor, HideCountNestsAndOnlyTheLastShowHandsThePictureOver) {
    int picture = 0;
    EXPECT_FALSE(cursor_visible());  // hidden until start-up shows it
    set_cursor_picture(&picture, sizeof picture, 3, 4);
    EXPECT_TRUE(handed.empty());
    force_show_cursor();
    EXPECT_EQ(handed, (std::vector<shown>{{&picture, 3, 4}}));
    hide_cursor();
    hide_cursor();
    show_cursor();
    EXPECT_FALSE(cursor_visible());
    show_cursor();
    show_cursor();  // one show too many changes nothing
    EXPECT_TRUE(cursor_visible());
    EXPECT_EQ(cursor_hide_count(), 0);
    EXPECT_EQ(handed, (std::vector<shown>{{&picture, 3, 4}, {nullptr, 0, 0}, {&picture, 3, 4}}));
    set_cursor_hotspot(7, 8);
    EXPECT_EQ(handed.back(), (shown{&picture, 7, 8}));
}

TEST_F(Cursor, HandleChoiceIsLockedWhileItIsTheCursor) {
    define_handle(0x8110, "", small_picture, PATH_GUI);
    define_handle(0x8111, "", small_picture, PATH_GUI);
    force_show_cursor();
    set_mouse_cursor(0x8110);
    EXPECT_EQ(handle_info(0x8110)->lock_count, 1);
    EXPECT_EQ(handed.back(), (shown{get_handle_data(0x8110), 0, 0}));
    size_t count = handed.size();
    set_mouse_cursor(0x8110);  // unchanged: nothing happens
    EXPECT_EQ(handed.size(), count);
    set_mouse_cursor(0x8111);
    EXPECT_EQ(handle_info(0x8110)->lock_count, 0);
    EXPECT_EQ(handle_info(0x8111)->lock_count, 1);
    EXPECT_TRUE(cursor_visible());
    set_mouse_cursor(-1);
    EXPECT_EQ(handle_info(0x8111)->lock_count, 0);
    for (handle_id id : {0x8110, 0x8111}) undefine_handle(id);
}

TEST_F(Cursor, ItemChoiceCopiesTheIconFromItsLibrary) {
    define_handle(0x8100, "", icon_library, PATH_ITEMS);
    define_handle(0x8101, "", icon_library, PATH_ITEMS);  // second library, two icons
    set_icon_library_base(0x8100);
    force_show_cursor();
    set_mouse_cursor(-19);  // library 1, icon 1
    ASSERT_FALSE(handed.empty());
    shown first = handed.back();
    EXPECT_EQ(first.x, ICON_HOT_X);
    EXPECT_EQ(first.y, ICON_HOT_Y);
    const auto* bytes = static_cast<const uint8_t*>(first.picture);
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(bytes[ICON_SIZE - 1], 2);

    set_mouse_cursor(-5);  // same buffer, new content: handed over again
    EXPECT_EQ(handed.back().picture, first.picture);
    EXPECT_EQ(static_cast<const uint8_t*>(handed.back().picture)[0], 6);

    // An icon past the end of its library is reported, not read.
    testing::internal::CaptureStderr();
    set_mouse_cursor(-20);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Item icon 20"), std::string::npos);
    for (handle_id id : {0x8100, 0x8101}) undefine_handle(id);
}

}  // namespace
