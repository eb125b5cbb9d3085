#pragma once
// What the completion window does.

#include "toolkit/definition.h"

namespace quillon {

void onFinishReleased(const tk::EventArgs& args);

}  // namespace quillon
