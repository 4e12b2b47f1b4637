// Why a file or process operation failed, said in German for the installer's
// window and log.
#pragma once

#include <string>
#include <system_error>

namespace kado::setup {

// A German sentence fragment for the common causes, else the system's own
// text with its number ("Systemfehler 28: ...").
std::string Reason(std::error_code ec);
inline std::string Reason(int error) { return Reason(std::error_code(error, std::generic_category())); }

}  // namespace kado::setup
