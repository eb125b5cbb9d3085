#pragma once
// The desktop window: the imitated desktop and the reinstall panel on it, as data.

#include "toolkit/definition.h"

namespace quillon {

const tk::WindowDef& desktopWindow();

// The five controls the panel is shown and hidden by, in the order they are set.
inline constexpr std::string_view kPanelSet[] = {"透明标签3", "标签5", "高级选择夹1", "标签4", "标签3"};

}  // namespace quillon
