// Repaints of the reinstall panel, off screen: the tab under the mouse changing, and a page
// switch. Each figure is the time of one turn of the event loop that handles and repaints.

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench_support.h"
#include "toolkit/page_control.h"
#include "toolkit/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUps = 50;
constexpr int kIterations = 2000;

double microsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

}  // namespace

int main() {
    tk::PlatformResult opened = tk::openSdlPlatform({.offscreen = true});
    if (!opened.platform) {
        std::fprintf(stderr, "bench_repaint: %s\n", opened.error.c_str());
        return 1;
    }
    tk::Toolkit toolkit(std::move(opened.platform));
    quillon::startUp(toolkit);
    toolkit.processPending();
    if (toolkit.windows().empty()) {
        std::fprintf(stderr, "bench_repaint: the desktop did not load\n");
        return 1;
    }
    tk::Window& window = *toolkit.windows().back();

    // Open the panel the way a user does: a double-click on the first desktop icon, above the
    // empty label that lies across its lower half.
    const tk::Point icon = tk::Point{40, 24} + tk::kClientOrigin;
    toolkit.post({.type = tk::InputType::MouseDown, .pos = icon, .button = 1, .clicks = 1});
    toolkit.post({.type = tk::InputType::MouseUp, .pos = icon, .button = 1});
    toolkit.post({.type = tk::InputType::MouseDown, .pos = icon, .button = 1, .clicks = 2});
    toolkit.post({.type = tk::InputType::MouseUp, .pos = icon, .button = 1});
    toolkit.processPending();
    auto& tabs = static_cast<tk::PageControl&>(window.control("高级选择夹1"));
    if (!tabs.shown()) {
        std::fprintf(stderr, "bench_repaint: the panel did not open\n");
        return 1;
    }

    // (a) The tab under the mouse: back and forth between the second and third tabs, so each
    // move changes the marked tab and repaints two tabs.
    const tk::Point origin = tabs.bounds().origin() + tk::kClientOrigin;
    auto tabCentre = [&](int i) {
        const tk::Rect r = tabs.tabRect(i);
        return tk::Point{origin.x + r.x + r.width / 2, origin.y + r.y + r.height / 2};
    };
    const tk::Point hoverPoints[] = {tabCentre(1), tabCentre(2)};
    std::vector<double> hover;
    int expectedHot = -1;
    for (int i = 0; i < kWarmUps + kIterations; ++i) {
        toolkit.post({.type = tk::InputType::MouseMove, .pos = hoverPoints[i % 2]});
        const auto start = Clock::now();
        toolkit.processPending();
        const double us = microsSince(start);
        if (i >= kWarmUps) hover.push_back(us);
        expectedHot = 1 + i % 2;
    }
    if (tabs.hotTab() != expectedHot) {
        std::fprintf(stderr, "bench_repaint: the mouse did not mark tab %d (marked: %d)\n", expectedHot, tabs.hotTab());
        return 1;
    }

    // (b) A page switch, round the three pages, with the mouse moved off the tabs first.
    toolkit.post({.type = tk::InputType::MouseMove, .pos = tk::Point{600, 20} + tk::kClientOrigin});
    toolkit.processPending();
    std::vector<double> pages;
    std::vector<double> toPage[3];
    for (int i = 0; i < kWarmUps + kIterations; ++i) {
        const int page = (i + 1) % 3;
        const auto start = Clock::now();
        tabs.setCurrentPage(page);
        toolkit.processPending();
        const double us = microsSince(start);
        if (i < kWarmUps) continue;
        pages.push_back(us);
        toPage[page].push_back(us);
    }

    const std::string b = "repaint";
    bench::printTable("Repaint of the reinstall panel, off screen (" + std::to_string(kIterations) + " iterations each)",
                      {
                          {b, "tab hover change median", bench::median(hover), "us", "< 2000"},
                          {b, "tab hover change p90", bench::percentile(hover, 90), "us", "< 2000"},
                          {b, "page switch median", bench::median(pages), "us", "< 2000"},
                          {b, "page switch p90", bench::percentile(pages, 90), "us", "< 2000"},
                          {b, "page switch to page 0 median", bench::median(toPage[0]), "us", ""},
                          {b, "page switch to page 1 median", bench::median(toPage[1]), "us", ""},
                          {b, "page switch to page 2 median", bench::median(toPage[2]), "us", ""},
                      });
    return 0;
}
