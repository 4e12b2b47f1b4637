// German for what CLI11 says on its own on kado-host's command line: the
// help's headings and labels, the help flag, and the parse failures.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace kado::host {

// Gives the app and every subcommand defined so far the German help (formatter,
// help flag, group headings) and the German failure message. Call it once all
// options and subcommands are defined.
void UseGerman(CLI::App& app);

// What is wrong with the arguments, in German, without a program prefix:
// "--db fehlt", "unerwartetes Argument: x". A text CLI11 has no German for is
// quoted after a German lead.
std::string GermanParseFailure(const CLI::Error& error);

}  // namespace kado::host
