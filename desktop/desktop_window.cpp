#include "desktop/desktop_window.h"

#include "app/program.h"
#include "assets.h"
#include "desktop/desktop_handlers.h"

namespace quillon {
namespace {

using tk::Color;
using tk::HAlign;
using tk::Kind;
using tk::VAlign;

constexpr tk::TextStyle kSingleLineLeft{.align = HAlign::Left, .valign = VAlign::Middle};
constexpr tk::TextStyle kCentred{.align = HAlign::Center, .valign = VAlign::Middle};
constexpr tk::TextStyle kWrapped{.align = HAlign::Left, .valign = VAlign::Top, .wordWrap = true};
constexpr Color kBlack = Color::of(0x000000);
constexpr Color kPanelBlue = Color::of(0x0088FF);
constexpr Color kPanelGrey = Color::of(0xECECEC);

constexpr std::string_view kPages[] = {"重装环境检测", "下载系统镜像", "安装系统"};

// A button of the panel: a blue label with "下一步" or "立即重启" centred on it.
constexpr tk::ControlDef panelButton(std::string_view name, tk::Rect place, int page, std::string_view text) {
    return {.name = name,
            .kind = Kind::Label,
            .place = place,
            .parent = "高级选择夹1",
            .page = page,
            .text = text,
            .textColor = kBlack,
            .backColor = kPanelBlue,
            .textStyle = kCentred};
}

constexpr tk::ControlDef edition(std::string_view name, tk::Rect place, std::string_view text) {
    return {.name = name,
            .kind = Kind::RadioBox,
            .place = place,
            .parent = "高级选择夹1",
            .page = 1,
            .takesFocus = true,
            .text = text,
            .textColor = kPanelBlue,
            .backColor = kPanelGrey,
            .textStyle = {.align = HAlign::Left, .valign = VAlign::Middle, .wordWrap = true}};
}

constexpr tk::ControlDef pageText(std::string_view name, tk::Rect place, int page, std::string_view text) {
    return {.name = name,
            .kind = Kind::TransLabel,
            .place = place,
            .parent = "高级选择夹1",
            .page = page,
            .text = text,
            .textColor = kBlack,
            .textStyle = kSingleLineLeft};
}

constexpr tk::ControlDef fullBar(std::string_view name, tk::Rect place) {
    return {.name = name,
            .kind = Kind::ProcessBar,
            .place = place,
            .parent = "高级选择夹1",
            .page = 2,
            .border = tk::Border::Single,
            .rangeMin = 0,
            .rangeMax = 100,
            .position = 100,
            .continuous = true};
}

// Stacking order: the first listed is on top. A page's controls follow the tab control and
// stack among themselves in the order listed.
const tk::ControlDef kControls[] = {
    {.name = "标签10", .kind = Kind::Label, .place = {8, 32, 64, 16}},
    {.name = "标签9", .kind = Kind::Label, .place = {8, 112, 64, 16}},
    {.name = "标签8",
     .kind = Kind::Label,
     .place = {873, 552, 128, 24},
     .text = "未授权版Windows\r\n请务必在3天之内激活！",
     .textColor = Color::of(0xECECEC),
     .backColor = Color::of(0x2D2D2D),
     .textStyle = kWrapped},

    // The reinstall panel.
    {.name = "标签4",
     .kind = Kind::Label,
     .place = {741, 96, 32, 16},
     .text = "╳",
     .textColor = kBlack,
     .backColor = Color::of(0xFF0000),
     .textStyle = kCentred},
    {.name = "高级选择夹1",
     .kind = Kind::PageControl,
     .place = {239, 126, 536, 330},
     .pages = kPages,
     .currentPage = 0,
     .tabs = {.font = {.face = "SimSun", .pixels = 12}, .outline = 0x0088FF, .background = 0x0088FF}},
    // Page 0: the environment check.
    panelButton("标签5", {419, 282, 96, 32}, 0, "下一步"),
    {.name = "透明标签3",
     .kind = Kind::TransLabel,
     .place = {173, 98, 176, 136},
     .parent = "高级选择夹1",
     .page = 0,
     .text = "系统环境检查完毕！",
     .textColor = kPanelBlue,
     .textStyle = {.font = {.pixels = 20}, .align = HAlign::Left, .valign = VAlign::Middle}},
    // Page 1: the choice of an edition.
    panelButton("标签6", {445, 290, 80, 32}, 1, "下一步"),
    edition("单选框14", {248, 280, 184, 32}, "Windows 10 64位LTSC企业版"),
    edition("单选框13", {16, 280, 184, 32}, "Windows 10 32位LTSC企业版"),
    edition("单选框12", {248, 240, 184, 32}, "Windows 10 64位GHOST专业版"),
    edition("单选框11", {16, 240, 184, 32}, "Windows 10 32位GHOST专业版"),
    edition("单选框10", {248, 200, 184, 32}, "Windows 10 64位GHOST家庭版"),
    edition("单选框9", {16, 201, 184, 32}, "Windows 10 32位GHOST家庭版"),
    edition("单选框8", {248, 160, 184, 32}, "Windows 8.1 64位GHOST专业版"),
    edition("单选框7", {16, 160, 184, 32}, "Windows 8.1 32位GHOST专业版"),
    edition("单选框6", {248, 120, 184, 32}, "Windows 8 64位GHOST企业版"),
    edition("单选框5", {16, 120, 184, 32}, "Windows 8 32位GHOST企业版"),
    edition("单选框4", {248, 80, 184, 32}, "Windows 7 64位GHOST电脑版"),
    edition("单选框3", {16, 80, 184, 32}, "Windows 7 32位GHOST电脑版"),
    edition("单选框2", {248, 40, 184, 32}, "Windows 7 64位GHOST旗舰版"),
    edition("单选框1", {18, 42, 184, 32}, "Windows 7 32位GHOST旗舰版"),
    // Page 2: the installation.
    pageText("透明标签6", {222, 274, 176, 48}, 2, "系统准备完毕，重启以安装系统！"),
    panelButton("标签7", {401, 274, 104, 40}, 2, "立即重启"),
    pageText("透明标签5", {37, 106, 72, 32}, 2, "准备完毕！"),
    fullBar("进度条2", {33, 138, 480, 24}),
    pageText("透明标签4", {36, 37, 72, 24}, 2, "下载完毕！"),
    fullBar("进度条1", {33, 66, 480, 24}),
    {.name = "标签3",
     .kind = Kind::Label,
     .place = {230, 96, 552, 368},
     .text = "\r\n  Quillon",
     .textColor = kBlack,
     .backColor = kPanelGrey,
     .textStyle = kWrapped,
     .border = tk::Border::Single},

    // The desktop.
    {.name = "透明标签2",
     .kind = Kind::TransLabel,
     .place = {8, 146, 66, 24},
     .text = "U盘重装系统",
     .textColor = kBlack,
     .textStyle = kSingleLineLeft},
    {.name = "图片框2", .kind = Kind::PicBox, .place = {16, 96, 48, 48}, .picture = assets::uDrive},
    {.name = "标签2", .kind = Kind::Label, .place = {48, 576, 944, 32}, .backColor = Color::of(0x606060)},
    {.name = "标签1",
     .kind = Kind::Label,
     .place = {0, 576, 48, 32},
     .text = "  开始",
     .textColor = kBlack,
     .backColor = kPanelGrey,
     .textStyle = kSingleLineLeft},
    {.name = "透明标签1",
     .kind = Kind::TransLabel,
     .place = {4, 64, 80, 24},
     .text = "Quillon",
     .textColor = kBlack,
     .textStyle = kSingleLineLeft},
    {.name = "图片框1", .kind = Kind::PicBox, .place = {16, 16, 48, 48}, .picture = assets::eyeMonitor},
};

constexpr tk::Binding kBindings[] = {
    {"", tk::Event::Created, onDesktopCreated},
    {"标签1", tk::Event::LeftPressed, onStartPressed},
    {"标签1", tk::Event::LeftReleased, onStartReleased},
    {"图片框1", tk::Event::DoubleClicked, onToolIconDoubleClicked},
    {"标签4", tk::Event::LeftReleased, onPanelCloseReleased},
    {"标签5", tk::Event::LeftReleased, onCheckNextReleased},
    {"标签6", tk::Event::LeftReleased, onChoiceNextReleased},
    {"标签7", tk::Event::LeftReleased, onRestartNowReleased},
};

}  // namespace

const tk::WindowDef& desktopWindow() {
    static const tk::WindowDef def{
        .caption = "Merrowind——此软件是给小白使用的，大神勿喷",
        .outerSize = {999, 633},
        .backColor = Color::face(),
        .picture = assets::wallpaperWin7,
        .icons = programIcons(),
        .minimizeBox = true,
        .controls = kControls,
        .bindings = kBindings,
    };
    return def;
}

}  // namespace quillon
