// kado-host erechnung: the e-invoice of a finished invoice document and its
// record written as an XRechnung file, or refused with what is missing.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace kado::host::erechnung {

struct Aufruf {
    std::string db;
    std::filesystem::path doc, out;
    int rechnung = 0;
    int benutzer = 1;
};

// Exit code 0 written, 2 refused or bad input (nothing written), 1 the run failed.
int Ausführen(const Aufruf& aufruf, std::ostream& out, std::ostream& err);

// Adds the subcommand "erechnung" with its options to the host's command line.
CLI::App* Befehl(CLI::App& app, Aufruf& aufruf);

}  // namespace kado::host::erechnung
