#pragma once
// The desktop window loaded the way the program loads it, headless.

#include "app/program.h"
#include "support/toolkit_fixture.h"

namespace quillon::test {

class DesktopTest : public ToolkitTest {
protected:
    void SetUp() override {
        chosenFamily = kFamilySeven;
        ToolkitTest::SetUp();
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        chosenFamily = kFamilySeven;
    }

    // Starts the program and returns its desktop.
    tk::Window& startDesktop() {
        startUp(toolkit());
        toolkit().processPending();
        return *toolkit().windows().back();
    }
};

}  // namespace quillon::test
