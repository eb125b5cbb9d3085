// The message box: a small window of the toolkit's own, titled "信息：", with the text and one
// "确定" button, run modally in a nested event loop.

#include <algorithm>

#include "push_button.h"
#include "toolkit.h"

namespace tk {
namespace {

constexpr int kMargin = 12;
constexpr Size kButton = {75, 23};
constexpr int kMinClientWidth = 160;

}  // namespace

void Toolkit::messageBox(std::string_view text) {
    // Measure the text first: the box is as wide as it needs to be.
    const TextStyle textStyle{.font = {}, .align = HAlign::Left, .valign = VAlign::Top, .wordWrap = true};
    TextBlock probe;
    probe.set(text, textStyle);
    const Size textSize = probe.measure(*text_, 560);

    const int clientWidth = std::max({kMinClientWidth, textSize.width + 4 * kMargin, kButton.width + 2 * kMargin});
    const int textTop = kMargin + 6;
    const int buttonTop = textTop + textSize.height + kMargin + 6;
    const int clientHeight = buttonTop + kButton.height + kMargin;

    const ControlDef controls[] = {
        {.name = "确定",
         .kind = Kind::PushButton,
         .place = {(clientWidth - kButton.width) / 2, buttonTop, kButton.width, kButton.height},
         .takesFocus = true,
         .text = "确定",
         .textStyle = {.font = {}, .align = HAlign::Center, .valign = VAlign::Middle}},
        {.name = "text",
         .kind = Kind::Label,
         .place = {2 * kMargin, textTop, clientWidth - 4 * kMargin, textSize.height},
         .text = text,
         .textStyle = textStyle},
    };
    const WindowDef def{
        .caption = "信息：",
        .outerSize = {clientWidth + 2 * kBorder, clientHeight + 2 * kBorder + kCaption},
        .minimizeBox = false,
        .controls = controls,
    };

    Window* previousModal = modal_;
    Window& box = loadWindow(def);
    modal_ = &box;
    auto& ok = static_cast<PushButton&>(box.control("确定"));
    box.setFocus(&ok);
    bool dismissed = false;
    ok.onClick = [&dismissed] { dismissed = true; };
    auto boxOpen = [this, &box] { return findWindow(box.nativeId()) == &box; };

    ++loopDepth_;
    while (!dismissed && boxOpen()) {
        step(true);
        // Esc and the close box ask for the window's destruction; here that is a dismissal.
        if (std::find(doomed_.begin(), doomed_.end(), &box) != doomed_.end()) dismissed = true;
    }
    --loopDepth_;
    std::erase(doomed_, &box);
    if (boxOpen()) {
        const NativeId id = box.nativeId();
        std::erase_if(windows_, [&box](const auto& w) { return w.get() == &box; });
        platform_->destroyWindow(id);
    }
    modal_ = previousModal;
}

}  // namespace tk
