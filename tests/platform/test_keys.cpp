#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include "platform/input.h"

TEST(KeyTranslation, LettersCarryScanCodeAndCaseAndControlCharacter) {
    EXPECT_EQ(translate_key(SDL_SCANCODE_A, false, false), 0x1E61);
    EXPECT_EQ(translate_key(SDL_SCANCODE_A, true, false), 0x1E41);
    EXPECT_EQ(translate_key(SDL_SCANCODE_A, false, true), 0x1E01);
    EXPECT_EQ(translate_key(SDL_SCANCODE_Z, false, false), 0x2C7A);
    // Ctrl wins over Shift.
    EXPECT_EQ(translate_key(SDL_SCANCODE_Z, true, true), 0x2C1A);
}

TEST(KeyTranslation, FunctionAndNavigationKeys) {
    EXPECT_EQ(translate_key(SDL_SCANCODE_F1, false, false), 0x3B00);
    EXPECT_EQ(translate_key(SDL_SCANCODE_F1, true, false), 0x5400);
    EXPECT_EQ(translate_key(SDL_SCANCODE_F12, false, true), 0x8A00);
    EXPECT_EQ(translate_key(SDL_SCANCODE_KP_8, false, false), 0x4838);
    EXPECT_EQ(translate_key(SDL_SCANCODE_KP_8, true, false), 0x4800);
    EXPECT_EQ(translate_key(SDL_SCANCODE_UP, false, false), 0x4800);
    EXPECT_EQ(translate_key(SDL_SCANCODE_KP_MULTIPLY, true, false), 0x9600);
    EXPECT_EQ(translate_key(SDL_SCANCODE_RETURN, false, true), 0x1C0A);
}

TEST(KeyTranslation, UnmappedAndOutOfRangeScancodesAreIgnored) {
    EXPECT_EQ(translate_key(SDL_SCANCODE_CAPSLOCK, false, false), 0);
    EXPECT_EQ(translate_key(SDL_SCANCODE_LALT, false, false), 0);
    EXPECT_EQ(translate_key(SDL_SCANCODE_APOSTROPHE, false, true), 0);
    EXPECT_EQ(translate_key(-1, false, false), 0);
    EXPECT_EQ(translate_key(512, false, false), 0);
}

namespace {
key_code type(national_keyboard& kb, int scancode, bool shift = false, bool caps = false) {
    return kb.translate(translate_key(scancode, shift, false), caps);
}
}  // namespace

TEST(NationalKeyboard, AcuteDeadKeyThenLetter) {
    national_keyboard kb;
    EXPECT_EQ(type(kb, SDL_SCANCODE_EQUALS), 0);  // arms the acute
    EXPECT_EQ(kb.dead_key, 1);
    EXPECT_EQ(type(kb, SDL_SCANCODE_E), 0x1282);
    EXPECT_EQ(kb.dead_key, 0);
}

TEST(NationalKeyboard, DeadKeyTwiceGivesTheCharacterItself) {
    national_keyboard kb;
    EXPECT_EQ(type(kb, SDL_SCANCODE_EQUALS), 0);
    EXPECT_EQ(type(kb, SDL_SCANCODE_EQUALS), 0x0D3D);
    EXPECT_EQ(kb.dead_key, 0);
    // The layer is back to plain typing.
    EXPECT_EQ(type(kb, SDL_SCANCODE_E), 0x1265);
}

TEST(NationalKeyboard, CaronFromShiftedEqualsAndCapitalCaron) {
    national_keyboard kb;
    EXPECT_EQ(type(kb, SDL_SCANCODE_EQUALS, true), 0);  // "+" arms the caron
    EXPECT_EQ(kb.dead_key, 2);
    EXPECT_EQ(type(kb, SDL_SCANCODE_C, true), 0x2E80);
    EXPECT_EQ(type(kb, SDL_SCANCODE_EQUALS, true), 0);
    EXPECT_EQ(type(kb, SDL_SCANCODE_R), 0x13A9);
}

TEST(NationalKeyboard, KeysOutsideTheLayerPassAndKeepTheDeadKey) {
    national_keyboard kb;
    EXPECT_EQ(type(kb, SDL_SCANCODE_EQUALS), 0);
    EXPECT_EQ(type(kb, SDL_SCANCODE_KP_8), 0x4838);  // scan code above 0x35
    EXPECT_EQ(type(kb, SDL_SCANCODE_F1), 0x3B00);
    EXPECT_EQ(type(kb, SDL_SCANCODE_SPACE), 0x3920);  // character outside 0x21-0x7E
    EXPECT_EQ(kb.dead_key, 1);
    EXPECT_EQ(type(kb, SDL_SCANCODE_A), 0x1EA0);
    // The keypad plus has a scan code above 0x36 and arms nothing.
    EXPECT_EQ(type(kb, SDL_SCANCODE_KP_PLUS), 0x4E2B);
    EXPECT_EQ(kb.dead_key, 0);
}

TEST(NationalKeyboard, PlainDigitRowGivesCzechLetters) {
    national_keyboard kb;
    EXPECT_EQ(type(kb, SDL_SCANCODE_2), 0x0388);
    EXPECT_EQ(type(kb, SDL_SCANCODE_1), 0x022B);
    EXPECT_EQ(type(kb, SDL_SCANCODE_2, true), 0x0332);  // Shift gives the digit
}

TEST(NationalKeyboard, CapsLockOnDigitRowWithAndWithoutShift) {
    national_keyboard kb;
    EXPECT_EQ(type(kb, SDL_SCANCODE_2, false, true), 0x0389);
    EXPECT_EQ(type(kb, SDL_SCANCODE_2, true, true), 0x0332);
    EXPECT_EQ(type(kb, SDL_SCANCODE_0, false, true), 0x0B90);
    EXPECT_EQ(type(kb, SDL_SCANCODE_1, false, true), 0x022B);
    EXPECT_EQ(type(kb, SDL_SCANCODE_A, false, true), 0x1E41);  // letters swap case
}

TEST(NationalKeyboard, CapsLockSwapsCaseOfAccentedLetters) {
    national_keyboard kb;
    type(kb, SDL_SCANCODE_EQUALS, false, true);
    EXPECT_EQ(type(kb, SDL_SCANCODE_A, false, true), 0x1E8F);
    type(kb, SDL_SCANCODE_EQUALS, true, true);
    EXPECT_EQ(type(kb, SDL_SCANCODE_C, false, true), 0x2E80);
    type(kb, SDL_SCANCODE_EQUALS, true, true);
    EXPECT_EQ(type(kb, SDL_SCANCODE_C, true, true), 0x2E87);
    type(kb, SDL_SCANCODE_EQUALS, false, true);
    EXPECT_EQ(type(kb, SDL_SCANCODE_B, false, true), 0x3042);  // no accent: just the other case
}

TEST(NationalKeyboard, TablesMapUnlistedCharactersToThemselves) {
    for (int table = 0; table < 6; ++table) EXPECT_EQ(national_table(table, 0x7C), 0x7C);
    EXPECT_EQ(national_table(0, 0x7E), 0x3B);
    EXPECT_EQ(national_table(3, 0x7E), 0x3B);
    EXPECT_EQ(national_table(6, 0x41), 0x41);
}
