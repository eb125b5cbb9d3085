#pragma once
// 高级选择夹: a tab control with pages. Its children belong to pages; only the current page's
// children are on screen. Clicking a tab selects its page; the tab under the mouse is marked.

#include <memory>
#include <vector>

#include "control.h"
#include "text.h"

namespace tk {

class PageControl final : public Control {
public:
    PageControl(Window& window, const ControlDef& def);

    void paint(cairo_t* cr) override;
    bool showsChild(const Control& child) const override { return child.page() == current_; }

    int currentPage() const { return current_; }
    int hotTab() const { return hot_; }
    // Switches pages: hides the old page's controls, shows the new one's, repaints once, and
    // gives the focus to the new page's first control that takes it. The current page again
    // does nothing.
    void setCurrentPage(int page) override;

    // Tab rectangles, in the control's own coordinates.
    Rect tabRect(int page) const;
    int tabAt(Point local) const;

    void mouseDown(Point p) override;
    void doubleClick(Point p) override { mouseDown(p); }
    void mouseMove(Point p) override;
    void mouseLeave() override;

private:
    // Tabs are measured when first needed: a hidden tab control costs no font loading.
    const std::vector<Rect>& tabs() const;
    void setHot(int tab);
    void invalidateTab(int tab);

    std::vector<std::unique_ptr<TextBlock>> captions_;
    mutable std::vector<Rect> tabs_;
    int current_;
    int hot_ = -1;
};

}  // namespace tk
