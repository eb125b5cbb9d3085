#include "completion/completion_window.h"

#include "app/program.h"
#include "completion/completion_handlers.h"

namespace quillon {
namespace {

using tk::Color;
using tk::HAlign;
using tk::Kind;
using tk::VAlign;

const tk::ControlDef kControls[] = {
    {.name = "标签3",
     .kind = Kind::Label,
     .place = {770, 572, 160, 16},
     .text = "单击这里完成安装（&F)",
     .textColor = Color::of(0x000000),
     .backColor = Color::face(),
     .textStyle = {.align = HAlign::Center, .valign = VAlign::Middle}},
    {.name = "标签2",
     .kind = Kind::Label,
     .place = {344, 224, 232, 72},
     .text = "Install Completely",
     .textColor = Color::of(0xFFFFFF),
     .backColor = Color::of(0x000000),
     .textStyle = {.font = {.face = "宋体", .pixels = 14}, .align = HAlign::Center, .valign = VAlign::Middle}},
    {.name = "进度条1",
     .kind = Kind::ProcessBar,
     .place = {72, 465, 768, 32},
     .border = tk::Border::ShallowSunken,
     .rangeMin = 0,
     .rangeMax = 100,
     .position = 100,
     .continuous = false},
    {.name = "标签1", .kind = Kind::Label, .place = {64, 48, 792, 456}, .backColor = Color::face()},
};

constexpr tk::Binding kBindings[] = {
    {"标签3", tk::Event::LeftReleased, onFinishReleased},
};

}  // namespace

const tk::WindowDef& completionWindow() {
    static const tk::WindowDef def{
        .caption = "",
        .outerSize = {933, 619},
        .backColor = Color::of(0x000000),
        .icons = programIcons(),
        .minimizeBox = true,
        .controls = kControls,
        .bindings = kBindings,
    };
    return def;
}

}  // namespace quillon
