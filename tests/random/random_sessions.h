// Seeded random user sessions on every fee dialog, on invoices that grow to
// many fee tables, with the invoice checked after every confirmation.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace kado::random {

struct Options {
    std::filesystem::path dir;   // demo data go below it
    uint64_t seed = 1;
    int sessions = 100;
    int sessionsPerInvoice = 40;  // then a fresh demo invoice
    // When set: every confirmed session leaves NNNNN.docx, NNNNN.record (net and
    // gross) and NNNNN.labels (the dialog's captions before OK) here, to compare runs.
    std::filesystem::path keep{};
};

struct Stats {
    int sessions = 0, confirmations = 0, cancels = 0, reopened = 0, unchangedReopens = 0, maxTables = 0;
    std::vector<std::string> failures;  // "session N (seed S): what broke"
};

Stats RunSessions(const Options& options, std::ostream& progress);

}  // namespace kado::random
