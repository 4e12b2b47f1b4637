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
void ZelleSchreiben(const kado::word::Table& table, int row, int column, const std::string& text,
                    std::optional<bool> fett);

// Where the totals table goes: at the "kadoStart" marker, else at the end
// of the document after a new paragraph.
kado::word::Range SummenPosition(kado::word::Document& doc);

// Adds the totals table at the place and writes its rows (without the discount
// line); an empty handle when it could not be added.
kado::word::Table SummentabelleSchreiben(kado::word::Document& doc, const Gebührensumme& gebühren,
                                         const Rechnungssumme& summe);

// Row 2: the discount label and the reduced net amount, when the settings ask for one.
void AbschlagszeileSchreiben(const kado::word::Table& table, const Abschlag& abschlag, const Rechnungssumme& summe);

// Deduction rows of a final invoice, whose first cells take the invoice number and date.
struct Abzugszeilen {
    int erste = 0;
    int letzte = -1;
};

// No borders, right-aligned, column widths 4 / 8 / 3 / 2.5 cm; wider first cells in the deduction rows;
// kept whole on one page with the first line of text after it.
void SummentabelleFormatieren(const kado::word::Table& table, kado::word::Application& app,
                              const std::optional<Abzugszeilen>& abzug);

}  // namespace honora
