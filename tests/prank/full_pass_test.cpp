// Whole passes through the prank by mouse and keys alone: the desktop, the reinstall panel,
// the restart, the completion window and what comes after it.

#include <cstdio>
#include <string>
#include <vector>

#include "prank/prank_fixture.h"

namespace quillon::test {
namespace {

struct EditionCase {
    int number;  // 单选框<number>
    std::int32_t family;
};

std::string radioName(int number) { return "单选框" + std::to_string(number); }
void PrintTo(const EditionCase& c, std::ostream* os) { *os << radioName(c.number) << " -> family " << c.family; }

class FullPass : public PrankTest, public ::testing::WithParamInterface<EditionCase> {};

TEST_P(FullPass, EndsOnANewDesktopWithTheEditionsFamilyWallpaper) {
    const tk::NativeId first = desktop().nativeId();

    tk::Window& after = runCycle(radioName(GetParam().number));

    EXPECT_EQ(chosenFamily, GetParam().family);
    EXPECT_NE(after.nativeId(), first);
    ASSERT_EQ(toolkit().windows().size(), 1u) << "the first desktop and the completion window are gone";
    EXPECT_EQ(platform().journal(), (std::vector<std::string>{"shown desktop", "shown completion", "shown desktop"}));
    EXPECT_FALSE(after.control("高级选择夹1").shown()) << "the new desktop starts with the panel closed";

    const WallpaperSample seen = sampleWallpaper(after);
    for (std::int32_t family : {kFamilySeven, kFamilyTen, kFamilyEight}) {
        SCOPED_TRACE("family " + std::to_string(family));
        if (family == GetParam().family) {
            EXPECT_EQ(describe(seen), describe(referenceWallpaper(family)));
        } else {
            EXPECT_NE(describe(seen), describe(referenceWallpaper(family)));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Editions, FullPass,
    ::testing::Values(EditionCase{1, kFamilySeven}, EditionCase{2, kFamilySeven}, EditionCase{3, kFamilySeven},
                      EditionCase{4, kFamilySeven}, EditionCase{5, kFamilyEight}, EditionCase{6, kFamilyEight},
                      EditionCase{7, kFamilyEight}, EditionCase{8, kFamilyEight}, EditionCase{9, kFamilyTen},
                      EditionCase{10, kFamilyTen}, EditionCase{11, kFamilyTen}, EditionCase{12, kFamilyTen},
                      EditionCase{13, kFamilyTen}, EditionCase{14, kFamilyTen}),
    [](const auto& info) { return "Edition" + std::to_string(info.param.number); });

// The journal goes to stderr as the program ends, where the death test reads it.
const JournalPlatform* journalAtExit = nullptr;
void writeJournal() {
    for (const std::string& line : journalAtExit->journal()) std::fprintf(stderr, "%s\n", line.c_str());
    std::fprintf(stderr, "family %d\n", static_cast<int>(chosenFamily));
}

TEST_F(PrankTest, NoEditionChosenWarnsThenEndsOverTheCompletionWindowWithZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            journalAtExit = &platform();
            toolkit().registerExitHook(writeJournal);
            tk::Window& start = desktop();
            doubleClickToolIcon(start);
            pump();
            clickThrough(start, {"标签5"});
            clickOn(start, "标签6");
            pressEnter();  // dismisses the warning
            pump();
            clickThrough(start, {"标签7"});
            if (tk::Window* finish = completion()) {
                clickOn(*finish, "标签3");
                pressEnter();  // dismisses the second message
                pump();
            }
        },
        ::testing::ExitedWithCode(0),
        "shown desktop\n"
        "message 请选择一个操作系统！！！ over desktop\n"
        "shown completion\n"
        "message 您好，您的系统文件已损毁！ over completion\n"
        "family 4\n$");
}

}  // namespace
}  // namespace quillon::test
