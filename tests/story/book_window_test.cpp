// The book window paging by keys and the mouse, and paragraphs added from
// text files (plain and scrambled) into the running game's book.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/strings.h"
#include "core/events.h"
#include "story/book_window.h"
#include "ui/toolkit.h"
#include "window_harness.h"

namespace {

using BookWindow = WindowTest;

std::vector<std::string> pages(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back(std::string{BOOK_ESC, 'e'});
    return lines;
}

// The left page shown when the step runs.
struct page_log {
    std::vector<int> seen;
    void at(int poll) {
        WindowTest::at(poll, [this] { seen.push_back(book_page); });
    }
};

TEST_F(BookWindow, EmptyBookOpensAtPagesOneAndTwoAndEscapeCloses) {
    new_book();
    book_page = 0;
    page_log log;
    log.at(3);
    key(4, 0x4D00);  // Right: nothing to turn to
    log.at(6);
    key(7, KEY_ESCAPE);
    book_window();
    EXPECT_EQ(log.seen, (std::vector<int>{1, 1}));
    EXPECT_FALSE(book_window_running());
    EXPECT_EQ(top_window, first_window);
}

TEST_F(BookWindow, ArrowsTurnTwoPagesWithinTheBook) {
    set_book(pages(5));
    book_page = 0;
    page_log log;
    key(3, 0x4D00);  // Right: 3 and 4
    log.at(4);
    key(5, 0x4D00);  // 5 and 6, the last pair
    key(6, 0x4D00);  // stays
    log.at(7);
    key(8, 0x4B00);  // Left: back to 3
    log.at(9);
    key(10, KEY_ESCAPE);
    book_window();
    EXPECT_EQ(log.seen, (std::vector<int>{3, 5, 3}));
}

TEST_F(BookWindow, ClicksOnTheRightPageTurnForwardOnTheLeftBackRightButtonCloses) {
    set_book(pages(6));
    book_page = 99;  // brought into range when the window opens
    page_log log;
    log.at(2);
    click(3, 500, 200);
    log.at(5);
    click(6, 100, 200);
    click(8, 100, 200);
    log.at(10);
    mouse(11, 300, 300, MOUSE_EV_RIGHT_DOWN, false, true);
    book_window();
    EXPECT_EQ(log.seen, (std::vector<int>{5, 5, 1}));
}

class BookFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("vorthan_book_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        new_book();
    }
    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
        new_book();
    }
    std::string write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    std::filesystem::path folder;
};

TEST_F(BookFiles, ParagraphsComeFromThePlainFileOrItsScrambledForm) {
    const std::string plain = write("diary.txt", "[1]first[][2]second");
    EXPECT_TRUE(book_add(plain, 2));
    EXPECT_EQ(book_page_count(book_lines()), 1);
    write("other.enc", scramble_enc("[3]third"));
    EXPECT_TRUE(book_add((folder / "other.txt").string(), 3));
    EXPECT_EQ(book_page_count(book_lines()), 2);
    // Neither form there: nothing is added.
    EXPECT_FALSE(book_add((folder / "missing.txt").string(), 1));
    EXPECT_EQ(book_page_count(book_lines()), 2);
}

TEST_F(BookFiles, StoryParagraphSetsTheWindowToItsFirstPage) {
    const std::string path = write("kniha.txt", "[1]one[][2]two");
    book_page = 0;
    book_add_from_story(path, 1);
    EXPECT_EQ(book_page, 1);
    book_add_from_story(path, 2);
    EXPECT_EQ(book_page, 1);  // one page before it: the pair 1-2 shows page 2
    book_add_from_story(path, 1);
    EXPECT_EQ(book_page, 3);
    EXPECT_EQ(book_page_count(book_lines()), 3);
}

TEST_F(BookFiles, TheLanguagesBookWinsOverTheMapsFolders) {
    const std::string maps = folder.string();
    EXPECT_EQ(choose_book_file(nullptr, maps), (folder / "kniha.txt").string());
    const std::string language = (folder / "en").string();
    std::filesystem::create_directories(language);
    EXPECT_EQ(choose_book_file(&language, maps), (folder / "kniha.txt").string());
    write("en/book.txt", "[1]x");
    EXPECT_EQ(choose_book_file(&language, maps), (folder / "en" / "book.txt").string());
}

}  // namespace
