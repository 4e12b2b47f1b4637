// The four-column totals table of the invoice: net sum, discount line, one
// VAT line per rate, spacer and amount due; its borderless right-aligned layout.
#pragma once

#include <optional>
#include <string>

#include "platform/word/word.h"
#include "plugin/invoice/totals_figures.h"
#include "plugin/invoice/totals_values.h"

namespace honora {

// Appends text at the end of a cell's content and sets the whole cell bold or not.
void WriteCell(const kado::word::Table& table, int row, int column, const std::string& text,
                    std::optional<bool> bold);

// Where the totals table goes: at the "kadoStart" marker, else at the end
// of the document after a new paragraph.
kado::word::Range TotalsPosition(kado::word::Document& doc);

// Adds the totals table at the place and writes its rows (without the discount
// line); an empty handle when it could not be added.
kado::word::Table WriteTotalsTable(kado::word::Document& doc, const FeeTotals& fees,
                                         const InvoiceTotals& sum);

// Row 2: the discount label and the reduced net amount, when the settings ask for one.
void WriteDiscountRow(const kado::word::Table& table, const DiscountSettings& discount, const InvoiceTotals& sum);

// Deduction rows of a final invoice, whose first cells take the invoice number and date.
struct DeductionRows {
    int firstRowIndex = 0;
    int lastRowIndex = -1;
};

// No borders, right-aligned, column widths 4 / 8 / 3 / 2.5 cm; wider first cells in the deduction rows;
// kept whole on one page with the first line of text after it.
void FormatTotalsTable(const kado::word::Table& table, kado::word::Application& app,
                              const std::optional<DeductionRows>& deduction);

}  // namespace honora
