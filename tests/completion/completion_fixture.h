#pragma once
// The completion window loaded on its own, headless, the way the restart button loads it.

#include "app/program.h"
#include "completion/completion_window.h"
#include "support/toolkit_fixture.h"

namespace quillon::test {

class CompletionTest : public ToolkitTest {
protected:
    void SetUp() override {
        chosenFamily = kFamilySeven;
        ToolkitTest::SetUp();
        if (HasFatalFailure()) return;
        completion_ = &toolkit().loadWindow(completionWindow());
        toolkit().processPending();
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        chosenFamily = kFamilySeven;
    }

    tk::Window& completion() { return *completion_; }
    bool completionAlive() {
        for (tk::Window* w : toolkit().windows())
            if (w == completion_) return true;
        return false;
    }

    tk::Window* completion_ = nullptr;
};

}  // namespace quillon::test
