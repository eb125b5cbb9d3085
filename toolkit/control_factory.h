#pragma once
// Makes the control of the kind a definition names.

#include <memory>

#include "control.h"

namespace tk {

std::unique_ptr<Control> makeControl(Window& window, const ControlDef& def);

}  // namespace tk
