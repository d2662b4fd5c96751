// Fatal errors: the before-fatal step (closing the display) runs first and
// once, then the text reaches stderr and the process ends with exit code 1.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "base/fatal.h"

namespace {
void say_closing() {
    std::fputs("display closed\n", stderr);
}

void fail_while_closing() {
    fatal_error("closing failed");
}

void throwing_hook(const char* text) {
    throw std::runtime_error(text);
}
}  // namespace

TEST(FatalError, ClosesFirstThenPrintsAndEndsWithOne) {
    EXPECT_EXIT(
        {
            set_before_fatal(say_closing);
            fatal_error("Map file is corrupted! %d", 7);
        },
        testing::ExitedWithCode(1), "^display closed\nMap file is corrupted! 7\n$");
}

TEST(FatalError, AFailureWhileClosingDoesNotCloseAgain) {
    EXPECT_EXIT(
        {
            set_before_fatal(fail_while_closing);
            fatal_error("first");
        },
        testing::ExitedWithCode(1), "^closing failed\n$");
}

TEST(FatalError, GoesThroughTheFatalHookWhenOneIsInstalled) {
    set_fatal_hook(throwing_hook);
    try {
        fatal_error("memory allocation error %lu", 12ul);
        FAIL() << "fatal_error returned";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "memory allocation error 12");
    }
    set_fatal_hook(nullptr);
}

TEST(FatalError, ReportFatalClosesTheDisplayBeforeItsText) {
    EXPECT_EXIT(
        {
            set_before_fatal(say_closing);
            report_fatal("Failed to map file: X");
        },
        testing::ExitedWithCode(1), "^display closed\nFailed to map file: X\n$");
}
