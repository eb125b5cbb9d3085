// How the toolkit routes input to controls, and how windows, the event loop, message boxes
// and exit hooks behave, driven headless through small windows of the tests' own.

#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "support/toolkit_fixture.h"

namespace quillon::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What the handlers saw, in order.
std::vector<std::string> eventLog;

void record(const tk::EventArgs& args, const char* what) {
    std::string entry = what;
    entry += " ";
    entry += std::to_string(args.pos.x) + "," + std::to_string(args.pos.y);
    eventLog.push_back(entry);
}

bool contains(const std::vector<tk::Window*>& list, const tk::Window* window) {
    return std::find(list.begin(), list.end(), window) != list.end();
}

class ToolkitSemantics : public ToolkitTest {
protected:
    void SetUp() override {
        eventLog.clear();
        ToolkitTest::SetUp();
    }
};

// ---------------------------------------------------------------------------------------------
// Stacking and hit-testing: two labels that overlap, the first listed on top, and a hidden one
// above both that must not catch anything.

void onTopPressed(const tk::EventArgs& a) { record(a, "top pressed"); }
void onTopReleased(const tk::EventArgs& a) { record(a, "top released"); }
void onBottomPressed(const tk::EventArgs& a) { record(a, "bottom pressed"); }
void onBottomReleased(const tk::EventArgs& a) { record(a, "bottom released"); }
void onHiddenReleased(const tk::EventArgs& a) { record(a, "hidden released"); }

const tk::ControlDef kStackControls[] = {
    {.name = "hidden", .kind = tk::Kind::Label, .place = {0, 0, 200, 200}, .visible = false},
    {.name = "top", .kind = tk::Kind::Label, .place = {20, 20, 60, 40}},
    {.name = "bottom", .kind = tk::Kind::Label, .place = {50, 30, 60, 40}},
};
const tk::Binding kStackBindings[] = {
    {"top", tk::Event::LeftPressed, onTopPressed},       {"top", tk::Event::LeftReleased, onTopReleased},
    {"bottom", tk::Event::LeftPressed, onBottomPressed}, {"bottom", tk::Event::LeftReleased, onBottomReleased},
    {"hidden", tk::Event::LeftReleased, onHiddenReleased},
};
const tk::WindowDef kStackWindow{
    .caption = "stack", .outerSize = {300, 200}, .controls = kStackControls, .bindings = kStackBindings};

struct HitCase {
    const char* what;
    tk::Point client;
    const char* expected;  // nullptr: nothing there
};

class HitTest : public ToolkitSemantics, public ::testing::WithParamInterface<HitCase> {};

TEST_P(HitTest, TopmostShownControlIsFound) {
    tk::Window& w = toolkit().loadWindow(kStackWindow);
    const tk::Control* hit = w.controlAt(GetParam().client);
    if (GetParam().expected) {
        ASSERT_NE(hit, nullptr);
        EXPECT_EQ(hit->name(), GetParam().expected);
    } else {
        EXPECT_EQ(hit, nullptr) << "found " << hit->name();
    }
}

INSTANTIATE_TEST_SUITE_P(Toolkit, HitTest,
                         ::testing::Values(HitCase{"overlap", {60, 40}, "top"},
                                           HitCase{"top only", {25, 25}, "top"},
                                           HitCase{"bottom only", {100, 65}, "bottom"},
                                           HitCase{"top's last column", {79, 59}, "top"},
                                           HitCase{"just past top", {80, 59}, "bottom"},
                                           HitCase{"under the hidden one only", {150, 150}, nullptr}),
                         [](const auto& info) {
                             std::string name = info.param.what;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

TEST_F(ToolkitSemantics, ClickWhereLabelsOverlapFiresOnlyTheTopOne) {
    tk::Window& w = toolkit().loadWindow(kStackWindow);
    click(w, {60, 40});
    toolkit().processPending();
    // Positions are in the top label's own client area.
    EXPECT_THAT(eventLog, ElementsAre("top pressed 40,20", "top released 40,20"));
}

TEST_F(ToolkitSemantics, ReleaseFiresOnTheLabelUnderThePointer) {
    tk::Window& w = toolkit().loadWindow(kStackWindow);
    press(w, {25, 25});      // top only
    release(w, {100, 65});   // bottom only
    toolkit().processPending();
    EXPECT_THAT(eventLog, ElementsAre("top pressed 5,5", "bottom released 50,35"));
}

TEST_F(ToolkitSemantics, ReleaseOutsideEveryControlFiresNothing) {
    tk::Window& w = toolkit().loadWindow(kStackWindow);
    press(w, {25, 25});
    release(w, {250, 150});
    toolkit().processPending();
    EXPECT_THAT(eventLog, ElementsAre("top pressed 5,5"));
}

// ---------------------------------------------------------------------------------------------
// Double-clicks: the second press of a double-click is reported as one, not as a press.

void onPicturePressed(const tk::EventArgs& a) { record(a, "pressed"); }
void onPictureDoubleClicked(const tk::EventArgs& a) { record(a, "double-clicked"); }

const tk::ControlDef kPictureControls[] = {
    {.name = "picture", .kind = tk::Kind::PicBox, .place = {10, 10, 48, 48}},
};
const tk::Binding kPictureBindings[] = {
    {"picture", tk::Event::LeftPressed, onPicturePressed},
    {"picture", tk::Event::DoubleClicked, onPictureDoubleClicked},
};
const tk::WindowDef kPictureWindow{
    .caption = "picture", .outerSize = {200, 120}, .controls = kPictureControls, .bindings = kPictureBindings};

struct ClickCountCase {
    int clicks;
    const char* expected;
};

class ClickCount : public ToolkitSemantics, public ::testing::WithParamInterface<ClickCountCase> {};

TEST_P(ClickCount, MapsToPressOrDoubleClick) {
    tk::Window& w = toolkit().loadWindow(kPictureWindow);
    press(w, {20, 30}, GetParam().clicks);
    toolkit().processPending();
    EXPECT_THAT(eventLog, ElementsAre(std::string(GetParam().expected) + " 10,20"));
}

INSTANTIATE_TEST_SUITE_P(Toolkit, ClickCount,
                         ::testing::Values(ClickCountCase{1, "pressed"}, ClickCountCase{2, "double-clicked"},
                                           ClickCountCase{3, "pressed"}),
                         [](const auto& info) { return "clicks" + std::to_string(info.param.clicks); });

// ---------------------------------------------------------------------------------------------
// Deferred destruction: a handler that destroys its own window can still use it; the window
// is gone before the next event is taken.

void onKillReleased(const tk::EventArgs& a) {
    tk::Toolkit& toolkit = a.window.toolkit();
    toolkit.destroyWindow(a.window);
    eventLog.push_back(contains(toolkit.windows(), &a.window) ? "released, window alive" : "released, window gone");
    // Still usable for the rest of the handler.
    a.window.control("kill").setTextColor(tk::Color::of(0xFF0000));
    eventLog.push_back("still has " + std::string(a.window.control("kill").name()));
}

const tk::ControlDef kKillControls[] = {
    {.name = "kill", .kind = tk::Kind::Label, .place = {10, 10, 80, 24}, .text = "kill"},
};
const tk::Binding kKillBindings[] = {{"kill", tk::Event::LeftReleased, onKillReleased}};
const tk::WindowDef kKillWindow{
    .caption = "doomed", .outerSize = {200, 120}, .controls = kKillControls, .bindings = kKillBindings};

TEST_F(ToolkitSemantics, DestroyedWindowLivesOutItsHandlerAndTakesNoLaterInput) {
    tk::Window& keeper = toolkit().loadWindow(kStackWindow);
    tk::Window& doomed = toolkit().loadWindow(kKillWindow);
    const tk::NativeId doomedId = doomed.nativeId();
    click(doomed, {20, 20});
    click(doomed, {20, 20});  // queued behind the release that destroys it
    toolkit().processPending();
    EXPECT_THAT(eventLog, ElementsAre("released, window alive", "still has kill"));
    EXPECT_EQ(toolkit().findWindow(doomedId), nullptr);
    EXPECT_THAT(toolkit().windows(), ElementsAre(&keeper));
}

TEST_F(ToolkitSemantics, InputWithoutAWindowGoesToTheWindowLeftAfterADestroy) {
    tk::Window& keeper = toolkit().loadWindow(kStackWindow);
    tk::Window& doomed = toolkit().loadWindow(kKillWindow);
    click(doomed, {20, 20});
    // Window 0: the last shown window that is still there when the event is taken.
    toolkit().post({.type = tk::InputType::MouseDown, .window = 0, .pos = outer(keeper, {25, 25}), .button = 1});
    toolkit().processPending();
    EXPECT_THAT(eventLog, ElementsAre("released, window alive", "still has kill", "top pressed 5,5"));
}

// ---------------------------------------------------------------------------------------------
// The created handler runs inside loadWindow, before the window is shown or painted.

struct CreatedSnapshot {
    bool ran = false;
    bool listed = false;
    bool needsFirstPaint = false;
    bool hidden = false;
};
CreatedSnapshot created;

void onCreated(const tk::EventArgs& a) {
    created.ran = true;
    created.listed = contains(a.window.toolkit().windows(), &a.window);
    created.needsFirstPaint = a.window.needsPaint();
    SDL_Window* native = SDL_GetWindowFromID(a.window.nativeId());
    created.hidden = native && (SDL_GetWindowFlags(native) & SDL_WINDOW_HIDDEN) != 0;
}

const tk::Binding kCreatedBindings[] = {{"", tk::Event::Created, onCreated}};
const tk::WindowDef kCreatedWindow{.caption = "created", .outerSize = {200, 120}, .bindings = kCreatedBindings};

TEST_F(ToolkitSemantics, CreatedHandlerRunsInsideLoadWindowBeforeTheWindowIsShown) {
    created = {};
    tk::Window& w = toolkit().loadWindow(kCreatedWindow);
    EXPECT_TRUE(created.ran);
    EXPECT_TRUE(created.listed);
    EXPECT_TRUE(created.needsFirstPaint);
    EXPECT_TRUE(created.hidden);
    // Once loadWindow returns the window is painted and shown.
    EXPECT_FALSE(w.needsPaint());
    EXPECT_EQ(SDL_GetWindowFlags(SDL_GetWindowFromID(w.nativeId())) & SDL_WINDOW_HIDDEN, 0u);
}

// ---------------------------------------------------------------------------------------------
// The event loop ends with the last window, whatever closed it.

struct CloseCase {
    const char* what;
    tk::InputEvent event;  // window 0 is the window under test
    bool closeBox;         // a click on the close box instead of the event
};

class LastWindowClosed : public ToolkitSemantics, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(LastWindowClosed, EndsTheLoopWithZero) {
    tk::Window& w = toolkit().loadWindow(kStackWindow);
    if (GetParam().closeBox) {
        const tk::Rect box = w.closeBoxRect();
        clickOuter(w, {box.x + box.width / 2, box.y + box.height / 2});
    } else {
        tk::InputEvent e = GetParam().event;
        e.window = w.nativeId();
        toolkit().post(e);
    }
    EXPECT_EQ(toolkit().run(), 0);
    EXPECT_THAT(toolkit().windows(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Toolkit, LastWindowClosed,
    ::testing::Values(CloseCase{"Escape", {.type = tk::InputType::Key, .key = tk::Key::Escape}, false},
                      CloseCase{"AltF4", {.type = tk::InputType::Key, .key = tk::Key::F4, .mods = {.alt = true}}, false},
                      CloseCase{"WindowManagerClose", {.type = tk::InputType::CloseRequested}, false},
                      CloseCase{"CloseBox", {}, true}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(ToolkitSemantics, ReleaseOffTheCloseBoxDoesNotClose) {
    tk::Window& w = toolkit().loadWindow(kStackWindow);
    const tk::Rect box = w.closeBoxRect();
    toolkit().post({.type = tk::InputType::MouseDown, .window = w.nativeId(), .pos = {box.x + 2, box.y + 2}, .button = 1});
    toolkit().post({.type = tk::InputType::MouseUp, .window = w.nativeId(), .pos = {box.x - 20, box.y + 2}, .button = 1});
    toolkit().processPending();
    EXPECT_THAT(toolkit().windows(), ElementsAre(&w));
}

// ---------------------------------------------------------------------------------------------
// Exit hooks: each runs once, in the order first registered, when run() ends or the program
// is ended.

std::string hookLog;
void hookA() {
    hookLog += "<A>";
    std::fputs("<A>", stderr);
}
void hookB() {
    hookLog += "<B>";
    std::fputs("<B>", stderr);
}

TEST_F(ToolkitSemantics, ExitHooksRunOnceInOrderWhenTheLoopEnds) {
    hookLog.clear();
    toolkit().registerExitHook(hookA);
    toolkit().registerExitHook(hookB);
    toolkit().registerExitHook(hookA);
    toolkit().loadWindow(kStackWindow);
    key(tk::Key::Escape);
    EXPECT_EQ(hookLog, "");
    EXPECT_EQ(toolkit().run(), 0);
    EXPECT_EQ(hookLog, "<A><B>");
}

TEST_F(ToolkitSemantics, EndProgramRunsExitHooksOnceInOrderAndExits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    using ::testing::AllOf;
    using ::testing::ContainsRegex;
    using ::testing::HasSubstr;
    using ::testing::Not;
    EXPECT_EXIT(
        {
            toolkit().registerExitHook(hookA);
            toolkit().registerExitHook(hookB);
            toolkit().registerExitHook(hookA);
            toolkit().loadWindow(kStackWindow);
            toolkit().endProgram(0);
        },
        ::testing::ExitedWithCode(0),
        AllOf(HasSubstr("<A><B>"), Not(ContainsRegex("<A>.*<A>")), Not(ContainsRegex("<B>.*<B>"))));
}

TEST_F(ToolkitSemantics, EndProgramExitsWithTheCodeGiven) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(toolkit().endProgram(3), ::testing::ExitedWithCode(3), "");
}

// ---------------------------------------------------------------------------------------------
// Message boxes are modal: while one is up, other windows take no input; Enter, Space and Esc
// dismiss it.

void onAskReleased(const tk::EventArgs& a) {
    eventLog.push_back("box shown");
    a.window.toolkit().messageBox("a message");
    eventLog.push_back("box dismissed");
}
void onOtherReleased(const tk::EventArgs& a) { record(a, "other released"); }

const tk::ControlDef kAskControls[] = {
    {.name = "ask", .kind = tk::Kind::Label, .place = {10, 10, 80, 24}, .text = "ask"},
    {.name = "other", .kind = tk::Kind::Label, .place = {10, 50, 80, 24}, .text = "other"},
};
const tk::Binding kAskBindings[] = {
    {"ask", tk::Event::LeftReleased, onAskReleased},
    {"other", tk::Event::LeftReleased, onOtherReleased},
};
const tk::WindowDef kAskWindow{
    .caption = "asker", .outerSize = {300, 200}, .controls = kAskControls, .bindings = kAskBindings};

struct DismissCase {
    const char* what;
    tk::Key key;
};

class MessageBoxDismissal : public ToolkitSemantics, public ::testing::WithParamInterface<DismissCase> {};

TEST_P(MessageBoxDismissal, KeyDismissesTheBoxAndTheOtherWindowIgnoredInputMeanwhile) {
    tk::Window& w = toolkit().loadWindow(kAskWindow);
    const tk::NativeId owner = w.nativeId();
    click(w, {20, 20});                           // shows the box from its handler
    click(w, {20, 60});                           // reaches the window while the box is up
    key(GetParam().key, {}, 0);                   // goes to the box
    toolkit().processPending();
    EXPECT_THAT(eventLog, ElementsAre("box shown", "box dismissed"));
    EXPECT_EQ(toolkit().modalWindow(), nullptr);
    ASSERT_EQ(toolkit().windows().size(), 1u);
    EXPECT_EQ(toolkit().windows().front()->nativeId(), owner);

    // Without the box the same click gets through.
    click(w, {20, 60});
    toolkit().processPending();
    EXPECT_THAT(eventLog, ElementsAre("box shown", "box dismissed", "other released 10,10"));
}

INSTANTIATE_TEST_SUITE_P(Toolkit, MessageBoxDismissal,
                         ::testing::Values(DismissCase{"Enter", tk::Key::Enter}, DismissCase{"Space", tk::Key::Space},
                                           DismissCase{"Escape", tk::Key::Escape}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(ToolkitSemantics, OtherKeysLeaveTheMessageBoxUp) {
    tk::Window& w = toolkit().loadWindow(kAskWindow);
    click(w, {20, 20});
    key(tk::Key::Tab);
    key(tk::Key::Left);
    key(tk::Key::Other);
    click(w, {20, 60});  // still ignored: the box is still up
    key(tk::Key::Enter);
    toolkit().processPending();
    EXPECT_THAT(eventLog, ElementsAre("box shown", "box dismissed"));
    EXPECT_THAT(toolkit().windows(), ElementsAre(&w));
}

}  // namespace
}  // namespace quillon::test
