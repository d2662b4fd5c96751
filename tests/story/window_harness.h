#pragma once
// Runs the game's modal windows on the test's thread: the toolkit with its
// base window, a virtual clock that moves one tick per main-loop cycle, and
// keys, mouse records and checks fed by cycle number. Hand-made pictures
// stand in for the window art.
#include <gtest/gtest.h>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/handles.h"

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

  public:
    // Runs step in the main loop's cycle `poll` (counted from 1 since SetUp).
    static void at(int poll, std::function<void()> step);
    static void key(int poll, uint16_t code);
    // A mouse record at (x, y) with these event bits and held buttons.
    static void mouse(int poll, int x, int y, uint16_t events, bool left, bool right = false);
    // A left click: the press at `poll`, the release in the cycle after it.
    static void click(int poll, int x, int y);
    static int polls();
};

// A type-8 picture of w x h whose pixel (x, y) has palette index pick(x, y)
// and index i the colour colour_of_index(i).
void install_picture(handle_id id, int w, int h, std::function<uint8_t(int x, int y)> pick);
// The bytes of such a picture (header, palette, pixels).
std::vector<uint8_t> pal8_picture_bytes(int w, int h, const std::function<uint8_t(int x, int y)>& pick);
uint16_t colour_of_index(int index);

constexpr uint16_t KEY_ENTER = 0x1C0D, KEY_ESCAPE = 0x011B, KEY_F1 = 0x3B00;
