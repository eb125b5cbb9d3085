// Hundreds of whole passes through the prank in one process, headless, driven by posted input
// the way the platform reports it: open the panel from the first icon, go on from the check,
// choose an edition (all fourteen in turn), go on, restart, and finish on the completion window.
// Every pass must end on a fresh desktop with the family's wallpaper state, and the process must
// not grow while doing it: the resident size after the last pass is compared with the one after
// the twentieth, once allocators and caches have settled.
//
// QUILLON_SOAK_CYCLES sets the number of passes (500). With fewer than 40 passes (the short run
// the memory checker uses) the resident sizes are printed but not compared.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/program.h"
#include "completion/completion_window.h"
#include "desktop/desktop_window.h"
#include "support/toolkit_fixture.h"
#include "toolkit/page_control.h"
#include "toolkit/system_menu.h"

namespace quillon::test {
namespace {

constexpr long kWarmUpCycles = 20;
constexpr long kAllowedGrowthBytes = 1024 * 1024;

// Edition number -> family, as the panel reads them.
constexpr std::pair<int, std::int32_t> kEditions[] = {
    {1, kFamilySeven}, {2, kFamilySeven}, {3, kFamilySeven}, {4, kFamilySeven}, {5, kFamilyEight},
    {6, kFamilyEight}, {7, kFamilyEight}, {8, kFamilyEight}, {9, kFamilyTen},   {10, kFamilyTen},
    {11, kFamilyTen},  {12, kFamilyTen},  {13, kFamilyTen},  {14, kFamilyTen},
};

long soakCycles() {
    if (const char* s = std::getenv("QUILLON_SOAK_CYCLES"); s && *s) return std::max(1L, std::atol(s));
    return 500;
}

// The resident set size of this process, from /proc/self/statm, in bytes.
long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

class Soak : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        if (HasFatalFailure()) return;
        chosenFamily = kFamilySeven;
        startUp(toolkit());
        toolkit().processPending();
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        chosenFamily = kFamilySeven;
    }

    tk::Window* only(const tk::WindowDef& def) {
        const auto windows = toolkit().windows();
        if (windows.size() != 1 || &windows.front()->definition() != &def) return nullptr;
        return windows.front();
    }

    // The centre of a control, or where it takes the mouse nearest to it when something lies
    // over its middle (the grey bar 标签10 over 图片框1 does).
    static tk::Point spotOn(const tk::Window& window, std::string_view name) {
        const tk::Control& c = window.control(name);
        const tk::Rect b = c.bounds();
        const tk::Point middle{b.x + b.width / 2, b.y + b.height / 2};
        if (window.controlAt(middle) == &c) return middle;
        for (int y = b.y; y < b.bottom(); ++y)
            for (int x = b.x; x < b.right(); ++x)
                if (window.controlAt({x, y}) == &c) return {x, y};
        return middle;
    }

    void clickOn(const tk::Window& window, std::string_view name) {
        click(window, spotOn(window, name));
        toolkit().processPending();
    }

    void clickTab(const tk::Window& desktop, int page) {
        const auto& pages = dynamic_cast<const tk::PageControl&>(desktop.control("高级选择夹1"));
        const tk::Rect tab = pages.tabRect(page).translated(pages.bounds().origin());
        click(desktop, {tab.x + tab.width / 2, tab.y + tab.height / 2});
        toolkit().processPending();
    }

    // One whole pass from a desktop with the panel closed. Now and then the pass also opens and
    // closes the system menu, and goes on from the editions with none chosen first (the warning
    // is dismissed with Enter, then the editions tab is clicked again). Returns what failed, or
    // an empty string.
    std::string cycle(long n) {
        tk::Window* desktop = only(desktopWindow());
        if (!desktop) return "not exactly one desktop at the start";
        const auto& [number, family] = kEditions[n % std::size(kEditions)];
        const std::string edition = "单选框" + std::to_string(number);
        const auto& pages = dynamic_cast<const tk::PageControl&>(desktop->control("高级选择夹1"));
        if (pages.shown()) return "the panel is open on a new desktop";

        if (n % 3 == 0) {
            key(tk::Key::Space, {.alt = true});
            toolkit().processPending();
            if (!toolkit().systemMenu()) return "Alt+Space opened no system menu";
            key(tk::Key::Escape);
            toolkit().processPending();
            if (toolkit().systemMenu()) return "Esc left the system menu open";
        }

        const tk::Point icon = spotOn(*desktop, "图片框1");
        press(*desktop, icon, 1);
        release(*desktop, icon);
        press(*desktop, icon, 2);
        release(*desktop, icon);
        toolkit().processPending();
        if (!pages.shown() || pages.currentPage() != 0) return "the double-click did not open the panel at its check";

        clickOn(*desktop, "标签5");
        if (pages.currentPage() != 1) return "下一步 did not lead to the editions";

        if (n % 7 == 3) {
            // Nothing chosen: the warning comes up; Enter queued before it dismisses it.
            click(*desktop, spotOn(*desktop, "标签6"));
            key(tk::Key::Enter);
            toolkit().processPending();
            if (chosenFamily != kFamilyNone) return "going on with no edition did not record the lack of one";
            if (toolkit().windows().size() != 1) return "the warning stayed";
            clickTab(*desktop, 1);
            if (pages.currentPage() != 1) return "the editions tab did not bring the editions back";
        }

        clickOn(*desktop, edition);
        if (!desktop->control(edition).isChecked()) return edition + " is not checked after a click";
        clickOn(*desktop, "标签6");
        if (pages.currentPage() != 2) return "下一步 did not lead to the installation page";
        if (chosenFamily != family) return "chose family " + std::to_string(chosenFamily);

        clickOn(*desktop, "标签7");
        tk::Window* completion = only(completionWindow());
        if (!completion) return "立即重启 did not leave the completion window alone on screen";

        clickOn(*completion, "标签3");
        tk::Window* after = only(desktopWindow());
        if (!after) return "the finish link did not leave a new desktop alone on screen";
        if (after->backgroundPicture().empty()) return "the new desktop has no wallpaper";
        return {};
    }
};

TEST_F(Soak, WholePassesThroughEveryEditionKeepTheResidentSizeFlat) {
    const long cycles = soakCycles();
    std::optional<long> settled;
    for (long n = 1; n <= cycles; ++n) {
        const std::string failure = cycle(n);
        ASSERT_EQ(failure, "") << "pass " << n << " (" << "单选框" << kEditions[n % std::size(kEditions)].first
                               << ")";
        if (n == kWarmUpCycles) settled = residentBytes();
    }
    const long last = residentBytes();
    std::printf("soak: %ld passes; resident size after pass %ld: %s, after pass %ld: %ld bytes\n", cycles,
                kWarmUpCycles, settled ? std::to_string(*settled).c_str() : "-", cycles, last);
    RecordProperty("passes", std::to_string(cycles));
    RecordProperty("rss_last", std::to_string(last));
    if (cycles >= 2 * kWarmUpCycles) {
        ASSERT_TRUE(settled);
        RecordProperty("rss_settled", std::to_string(*settled));
        EXPECT_LE(last - *settled, kAllowedGrowthBytes)
            << "grew by " << (last - *settled) << " bytes from pass " << kWarmUpCycles << " to pass " << cycles;
    }
}

}  // namespace
}  // namespace quillon::test
