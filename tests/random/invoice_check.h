// What a saved invoice must satisfy after any confirmation, worked out from
// the document and the record alone, without the plug-in's own arithmetic.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kado::random {

// "1.234,56 €", "   12,00": the number of a German amount text; nothing when it is none.
std::optional<double> GermanAmount(std::string text);

// The invoice record's figures in cents.
struct Record {
    double net = 0, gross = 0;
    bool operator==(const Record&) const = default;
};
Record ReadRecord(const std::filesystem::path& db, int invoice);

// What the fee tables add up to, and what the document and the record say.
struct InvoiceFigures {
    int feeTables = 0;
    double net = 0;        // counted fee amounts (no "no" mark)
    double vat = 0;        // per rate, half up to the cent
    std::vector<std::string> feeColumns;  // column 5 of every fee table, joined per table
};

// Checks the saved invoice; each broken rule is one problem text.
std::vector<std::string> CheckInvoice(const std::filesystem::path& doc, const Record& record, int standardRate,
                                      InvoiceFigures& figures);

}  // namespace kado::random
