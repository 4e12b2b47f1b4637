// A message shown to a user when a window system is there: a small modal
// form of the forms model on the Qt view, for tools that report one result.
#pragma once

#include <string>

#include "platform/qt/display.h"

namespace kado::qtview {

// Shows the text in a modal window captioned `title` with an OK button and
// returns when it is closed; needs no QApplication of the caller's.
void ShowMessage(const std::string& title, const std::string& text);

}  // namespace kado::qtview
