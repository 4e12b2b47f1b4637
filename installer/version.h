// The installer's own version as the window shows it, from the project's
// version numbers given at build time.
#pragma once

#include <string>

namespace kado::setup {

// "Version <major>.<minor> Revision <revision>".
std::string VersionText();

}  // namespace kado::setup
