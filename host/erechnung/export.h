// kado-host einvoicing: the e-invoice of a finished invoice document and its
// record written as an XRechnung file, or refused with what is missing.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace kado::host::einvoicing {

struct ExportRequest {
    std::string db;
    std::filesystem::path doc, out;
    int invoice = 0;
    int user = 1;
};

// Exit code 0 written, 2 refused or bad input (nothing written), 1 the run failed.
int RunExport(const ExportRequest& request, std::ostream& out, std::ostream& err);

// Adds the subcommand "erechnung" with its options to the host's command line.
CLI::App* AddExportCommand(CLI::App& app, ExportRequest& request);

}  // namespace kado::host::einvoicing
