// The option parser, the help text and the exception text.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "base/fatal.h"
#include "startup/run/game_main.h"
#include "startup/run/options.h"

namespace {
struct parsed {
    std::string options;  // option characters, with "=arg" after an argument
    int next_index;
};

parsed parse(std::vector<const char*> args) {
    args.insert(args.begin(), "vorthan");
    std::vector<char*> argv;
    for (const char* a : args) argv.push_back(const_cast<char*>(a));
    option_parser p;
    parsed out;
    int c;
    while ((c = p.next(static_cast<int>(argv.size()), argv.data(), "hf:a:s:l:")) != -1) {
        out.options += char(c);
        if (p.argument) out.options += std::string("=") + p.argument + ";";
    }
    out.next_index = p.index;
    return out;
}
}  // namespace

TEST(Options, ArgumentJoinedOrSeparate) {
    EXPECT_EQ(parse({"-fgame.ini"}).options, "f=game.ini;");
    EXPECT_EQ(parse({"-f", "game.ini"}).options, "f=game.ini;");
    EXPECT_EQ(parse({"-hfx.ini", "-l", "en"}).options, "hf=x.ini;l=en;");
    EXPECT_EQ(parse({"-hh"}).options, "hh");
}

TEST(Options, EndOfOptions) {
    auto dashes = parse({"-h", "--", "-f", "x"});
    EXPECT_EQ(dashes.options, "h");
    EXPECT_EQ(dashes.next_index, 3);
    auto lone = parse({"-", "-h"});
    EXPECT_EQ(lone.options, "");
    EXPECT_EQ(lone.next_index, 1);
    EXPECT_EQ(parse({"word", "-h"}).options, "");
}

TEST(Options, ErrorsArePrintedAndReturnQuestionMark) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(parse({"-x"}).options, "?");
    EXPECT_EQ(parse({"-hxh"}).options, "h?h");
    EXPECT_EQ(parse({"-f"}).options, "?");
    EXPECT_EQ(parse({"-:"}).options, "?");
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "illegal option -- x\nillegal option -- x\noption requires an argument -- f\nillegal option -- :\n");
}

TEST(Options, LeadingColonReportsMissingArgumentSilently) {
    char prog[] = "vorthan", opt[] = "-f";
    char* argv[] = {prog, opt};
    option_parser p;
    testing::internal::CaptureStdout();
    EXPECT_EQ(p.next(2, argv, ":f:"), ':');
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(Help, UsageFollowsProgramPathWithoutBlank) {
    std::string help = help_text("/usr/bin/vorthan");
    EXPECT_NE(help.find("Usage:/usr/bin/vorthan [-f <file>] [-a <file>] [-l <lang>] [-s <dir>] [-h]\n\n"
                        "-f <file>       path to configuration file\n"),
              std::string::npos);
    EXPECT_EQ(help.substr(help.size() - 26), "-h              this help\n");
}

TEST(ExceptionText, NestedReasonsInOrder) {
    try {
        try {
            try {
                throw std::runtime_error("disk");
            } catch (...) {
                std::throw_with_nested(std::runtime_error("archive"));
            }
        } catch (...) {
            std::throw_with_nested(std::runtime_error("start"));
        }
    } catch (const std::exception& e) {
        EXPECT_EQ(exception_text(e), "start\n\n Reason: archive\n\n Reason: disk");
    }
    try {
        try {
            throw 42;
        } catch (...) {
            std::throw_with_nested(std::logic_error("outer"));
        }
    } catch (const std::exception& e) {
        EXPECT_EQ(exception_text(e), "outer\n\n Reason: unknown exception of crash");
    }
    EXPECT_EQ(exception_text(std::runtime_error("plain")), "plain");
}

TEST(DisplayError, WithoutHookPrintsAndReturns) {
    set_fatal_hook(nullptr);
    testing::internal::CaptureStderr();
    display_error("Error in string table at line %d\n", 7);
    display_error("%s", "no newline");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error in string table at line 7\nno newline\n");
}

TEST(DisplayError, HookGetsTruncatedText) {
    static std::string seen;
    set_fatal_hook([](const char* text) { seen = text; });
    testing::internal::CaptureStderr();
    display_error("%s", std::string(5000, 'x').c_str());
    testing::internal::GetCapturedStderr();
    set_fatal_hook(nullptr);
    EXPECT_EQ(seen.size(), 1023u);
}

TEST(ReportFatal, WritesTextAndExitsWithOne) {
    EXPECT_EXIT(report_fatal("Can't change directory to: /nowhere"), testing::ExitedWithCode(1),
                "Can't change directory to: /nowhere");
}
