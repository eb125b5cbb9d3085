#pragma once
// The completion window: the imitated installation-complete screen, as data.

#include "toolkit/definition.h"

namespace quillon {

const tk::WindowDef& completionWindow();

}  // namespace quillon
