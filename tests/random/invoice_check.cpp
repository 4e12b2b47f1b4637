#include "random/invoice_check.h"

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/com/error.h"
#include "platform/dao/dao.h"
#include "platform/word/word.h"
#include "support/file_bytes.h"

namespace kado::random {
namespace {

namespace fs = std::filesystem;

std::string CellText(const word::Cell& cell) {
    std::string t = cell.GetRange().Text();
    while (!t.empty() && (t.back() == '\a' || t.back() == '\r')) t.pop_back();
    return t;
}

bool Near(double a, double b) { return std::fabs(a - b) < 0.005; }

std::string Money(double v) {
    std::ostringstream s;
    s.precision(2);
    s << std::fixed << v;
    return s.str();
}

}  // namespace

std::optional<double> GermanAmount(std::string text) {
    std::string digits;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '.') continue;
        if (c >= '0' && c <= '9') {
            digits += c;
        } else if (c == ',') {
            digits += '.';
        } else if (c == '-' && digits.empty()) {
            digits += c;
        } else if (text.compare(i, 3, "€") == 0) {
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    if (digits.empty() || digits == "-" || digits == ".") return std::nullopt;
    try {
        return std::stod(digits);
    } catch (...) {
        return std::nullopt;
    }
}

Record ReadRecord(const fs::path& db, int invoice) {
    auto rs = dao::Workspace().OpenDatabase(db.string())->OpenRecordset(
        "SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(invoice));
    return {rs->Field("NettoRechnung").ToDouble(), rs->Field("Brutto").ToDouble()};
}

std::vector<std::string> CheckInvoice(const fs::path& file, const Record& record, int standardRate,
                                      InvoiceFigures& f) {
    std::vector<std::string> problems;
    const std::string bytes = kado::testing::FileBytes(file);
    auto doc = word::Document::FromBytes(bytes);
    // Loaded and saved without edits, the invoice keeps its bytes.
    const std::string again = doc->ToBytes();
    if (again != bytes) problems.push_back("the saved invoice does not reload to the same bytes");
    else if (word::Document::FromBytes(again)->ToBytes() != again) problems.push_back("saving twice differs");

    f = {};
    std::map<double, double> byRate;  // rate -> net
    std::vector<double> rateOrder;
    std::optional<word::Table> totals;
    auto tables = doc->GetTables();
    for (int t = 1; t <= tables.Count(); ++t) {
        auto table = tables.Item(t);
        if (table.GetRows().Count() >= 1 && table.GetColumns().Count() >= 2 && CellText(table.GetCell(1, 2)) == "Summe") {
            if (totals) problems.push_back("two totals tables");
            totals = table;
            continue;
        }
        ++f.feeTables;
        int unmarked = 0;
        std::string column;
        for (int r = 1; r <= table.GetRows().Count(); ++r) {
            std::optional<word::Cell> found;
            try {
                found = table.GetCell(r, 5);
            } catch (const com::Error&) {
                continue;  // a title row of fewer cells
            }
            const auto& cell = *found;
            const std::string text = CellText(cell);
            column += text + "|";
            const auto amount = GermanAmount(text);
            auto marks = cell.GetRange().GetComments();
            const std::string mark = marks.Count() > 0 ? marks.Item(1).Text() : "";
            if (!amount) continue;
            // The Baulandumlegung reduction is billed beside its fee: its own unmarked amount.
            if (mark.empty() && CellText(table.GetCell(r, 1)) != "30.2.4") ++unmarked;
            if (mark == "no") continue;
            f.net += *amount;
            double rate = standardRate;
            if (!mark.empty()) {
                const auto r2 = GermanAmount(mark);
                if (!r2) continue;
                rate = *r2;
            }
            if (rate <= 0) continue;
            if (!byRate.count(rate)) rateOrder.push_back(rate);
            byRate[rate] += *amount;
        }
        f.feeColumns.push_back(column);
        if (unmarked != 1)
            problems.push_back("fee table " + std::to_string(t) + " has " + std::to_string(unmarked) +
                               " amounts without a mark in its fee column");
    }
    for (double rate : rateOrder) f.vat += std::floor(rate * byRate[rate] + 0.5) / 100;
    const double gross = f.net + f.vat;
    if (!totals) {
        if (f.feeTables > 0) problems.push_back("no totals table");
        return problems;
    }
    const int rows = totals->GetRows().Count();
    const auto net = GermanAmount(CellText(totals->GetCell(1, 4)));
    const auto due = GermanAmount(CellText(totals->GetCell(rows, 4)));
    if (!net || !Near(*net, f.net))
        problems.push_back("Summe " + CellText(totals->GetCell(1, 4)) + ", the fee tables add up to " + Money(f.net));
    if (CellText(totals->GetCell(rows, 2)) != "Rechnungsbetrag") problems.push_back("the last totals row is no Rechnungsbetrag");
    if (!due || !Near(*due, gross))
        problems.push_back("Rechnungsbetrag " + CellText(totals->GetCell(rows, 4)) + ", expected " + Money(gross));
    if (std::fabs(record.net - f.net * 100) > 0.5 || std::fabs(record.gross - gross * 100) > 0.5)
        problems.push_back("record " + Money(record.net) + "/" + Money(record.gross) + " cents, expected " +
                           Money(f.net * 100) + "/" + Money(gross * 100));
    return problems;
}

}  // namespace kado::random
