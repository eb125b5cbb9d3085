#pragma once
// What the desktop window does: each handler is bound to one event of one control.

#include "toolkit/definition.h"

namespace quillon {

void onDesktopCreated(const tk::EventArgs& args);
void onStartPressed(const tk::EventArgs& args);
void onStartReleased(const tk::EventArgs& args);
void onToolIconDoubleClicked(const tk::EventArgs& args);
void onPanelCloseReleased(const tk::EventArgs& args);
void onCheckNextReleased(const tk::EventArgs& args);
void onChoiceNextReleased(const tk::EventArgs& args);
void onRestartNowReleased(const tk::EventArgs& args);

}  // namespace quillon
