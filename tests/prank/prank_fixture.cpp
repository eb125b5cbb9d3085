#include "prank/prank_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <map>
#include <ranges>
#include <stdexcept>

#include "completion/completion_window.h"
#include "desktop/desktop_window.h"

namespace quillon::test {

// ---------------------------------------------------------------------------------------------
// The journal

std::string JournalPlatform::nameOf(tk::NativeId id) const {
    const tk::Window* window = toolkit_ ? toolkit_->findWindow(id) : nullptr;
    if (!window) return "unknown";
    if (&window->definition() == &desktopWindow()) return "desktop";
    if (&window->definition() == &completionWindow()) return "completion";
    return std::string(window->definition().caption);
}

void JournalPlatform::showWindow(tk::NativeId id) {
    const tk::Window* window = toolkit_ ? toolkit_->findWindow(id) : nullptr;
    if (window && window->definition().caption == "信息：") {
        std::string line = "message " + std::string(window->control("text").definition().text) + " over";
        for (tk::NativeId below : onScreen_) line.append(" ").append(nameOf(below));
        journal_.push_back(line);
    } else {
        journal_.push_back("shown " + nameOf(id));
    }
    onScreen_.push_back(id);
    inner_->showWindow(id);
}

void JournalPlatform::destroyWindow(tk::NativeId id) {
    std::erase(onScreen_, id);
    inner_->destroyWindow(id);
}

void JournalPlatform::present(tk::NativeId id, std::span<const tk::Rect> rects) {
    for (const tk::Rect& r : rects) presented_.emplace_back(id, r);
    inner_->present(id, rects);
}

std::vector<std::string> JournalPlatform::messages() const {
    std::vector<std::string> texts;
    for (const std::string& line : journal_)
        if (line.starts_with("message ")) texts.push_back(line.substr(8, line.rfind(" over") - 8));
    return texts;
}

std::vector<tk::Rect> JournalPlatform::presented(tk::NativeId id) const {
    std::vector<tk::Rect> rects;
    for (const auto& [window, r] : presented_)
        if (window == id) rects.push_back(r);
    return rects;
}

// ---------------------------------------------------------------------------------------------
// Wallpapers

WallpaperSample sampleWallpaper(const tk::Window& desktop) {
    WallpaperSample sample{};
    for (std::size_t i = 0; i < kWallpaperProbes.size(); ++i) sample[i] = clientPixel(desktop, kWallpaperProbes[i]);
    return sample;
}

std::string describe(const WallpaperSample& sample) {
    std::string text;
    for (std::uint32_t rgb : sample) {
        if (!text.empty()) text += ' ';
        text += hex(rgb);
    }
    return text;
}

const WallpaperSample& referenceWallpaper(std::int32_t family) {
    static const std::map<std::int32_t, WallpaperSample> references = [] {
        std::map<std::int32_t, WallpaperSample> taken;
        const std::int32_t saved = chosenFamily;
        for (std::int32_t f : {kFamilySeven, kFamilyTen, kFamilyEight}) {
            tk::PlatformResult opened = tk::openSdlPlatform({.offscreen = true});
            if (!opened.platform) continue;
            tk::Toolkit toolkit(std::move(opened.platform));
            chosenFamily = f;
            startUp(toolkit);
            toolkit.processPending();
            taken[f] = sampleWallpaper(*toolkit.windows().back());
        }
        chosenFamily = saved;
        return taken;
    }();
    static const WallpaperSample none{};
    auto it = references.find(family);
    return it == references.end() ? none : it->second;
}

// ---------------------------------------------------------------------------------------------
// The fixture

void PrankTest::SetUp() {
    // The references need the display to themselves: take them before this test's toolkit.
    for (std::int32_t f : {kFamilySeven, kFamilyTen, kFamilyEight})
        ASSERT_NE(referenceWallpaper(f), WallpaperSample{}) << "no reference for family " << f;
    ASSERT_NE(referenceWallpaper(kFamilySeven), referenceWallpaper(kFamilyTen));
    ASSERT_NE(referenceWallpaper(kFamilySeven), referenceWallpaper(kFamilyEight));
    ASSERT_NE(referenceWallpaper(kFamilyTen), referenceWallpaper(kFamilyEight));

    tk::PlatformResult opened = tk::openSdlPlatform({.offscreen = true});
    ASSERT_TRUE(opened.platform) << opened.error;
    auto journal = std::make_unique<JournalPlatform>(std::move(opened.platform));
    platform_ = journal.get();
    toolkit_ = std::make_unique<tk::Toolkit>(std::move(journal));
    platform_->attach(*toolkit_);

    chosenFamily = kFamilySeven;
    startUp(*toolkit_);
    pump();
}

void PrankTest::TearDown() {
    toolkit_.reset();
    platform_ = nullptr;
    chosenFamily = kFamilySeven;
}

tk::Window& PrankTest::desktop() {
    for (tk::Window* w : toolkit_->windows() | std::views::reverse)
        if (&w->definition() == &desktopWindow()) return *w;
    throw std::logic_error("no desktop window");
}

tk::Window* PrankTest::completion() {
    for (tk::Window* w : toolkit_->windows())
        if (&w->definition() == &completionWindow()) return w;
    return nullptr;
}

void PrankTest::press(const tk::Window& window, tk::Point client, int clicks) {
    toolkit_->post({.type = tk::InputType::MouseDown,
                    .window = window.nativeId(),
                    .pos = outer(window, client),
                    .button = 1,
                    .clicks = clicks});
}

void PrankTest::release(const tk::Window& window, tk::Point client) {
    toolkit_->post(
        {.type = tk::InputType::MouseUp, .window = window.nativeId(), .pos = outer(window, client), .button = 1});
}

void PrankTest::click(const tk::Window& window, tk::Point client) {
    press(window, client);
    release(window, client);
}

void PrankTest::clickThrough(const tk::Window& window, std::initializer_list<std::string_view> controls) {
    for (std::string_view name : controls) {
        clickOn(window, name);
        pump();
    }
}

void PrankTest::doubleClickToolIcon(const tk::Window& desktop) {
    const tk::Point icon = centre(desktop, "图片框1");
    press(desktop, icon, 1);
    release(desktop, icon);
    press(desktop, icon, 2);
    release(desktop, icon);
}

void PrankTest::clickTab(const tk::Window& desktop, int page) {
    const tk::PageControl& pages = panelPages(desktop);
    const tk::Rect tab = pages.tabRect(page).translated(pages.bounds().origin());
    click(desktop, {tab.x + tab.width / 2, tab.y + tab.height / 2});
}

void PrankTest::pressEnter() { toolkit_->post({.type = tk::InputType::Key, .window = 0, .key = tk::Key::Enter}); }

tk::Point PrankTest::centre(const tk::Window& window, std::string_view control) {
    const tk::Control& c = window.control(control);
    const tk::Rect b = c.bounds();
    const tk::Point middle = {b.x + b.width / 2, b.y + b.height / 2};
    if (!c.shown() || window.controlAt(middle) == &c) return middle;
    // Something lies over the middle (the grey bar 标签10 over 图片框1 does): the nearest point
    // where the control itself takes the mouse.
    std::optional<tk::Point> best;
    auto distance = [&middle](tk::Point p) { return std::abs(p.x - middle.x) + std::abs(p.y - middle.y); };
    for (int y = b.y; y < b.bottom(); ++y)
        for (int x = b.x; x < b.right(); ++x)
            if (window.controlAt({x, y}) == &c && (!best || distance({x, y}) < distance(*best))) best = tk::Point{x, y};
    return best.value_or(middle);
}

tk::PageControl& PrankTest::panelPages(const tk::Window& desktop) {
    return dynamic_cast<tk::PageControl&>(desktop.control("高级选择夹1"));
}

tk::Window& PrankTest::runCycle(std::string_view edition) {
    tk::Window& start = desktop();
    doubleClickToolIcon(start);
    pump();
    clickThrough(start, {"标签5", edition, "标签6", "标签7"});
    tk::Window* finish = completion();
    if (!finish) throw std::logic_error("no completion window after 立即重启");
    clickOn(*finish, "标签3");
    pump();
    return desktop();
}

}  // namespace quillon::test
