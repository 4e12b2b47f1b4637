// What a fee category supplies to the shared dialog frame: its names, the
// column widths of its fee table and, at each confirmation, the table content.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace honora {

// Widths of the five fee-table columns in centimetres (they add up to 17.5).
using ColumnWidths = std::array<double, 5>;

// One write into the fee table through wordTabelle.
struct FeeCell {
    int16_t row = 0;
    int16_t column = 0;
    std::string text;
    bool bold = false;
    // Written as it stands ("" for none, "no" to keep the amount out of the totals).
    std::string comment;
    // An amount the client pays: no comment, unless a share row restates it,
    // then "no" (the comment above is not used).
    bool payable = false;
};

// The content of one confirmation, built by the category from its labels.
struct FeeTable {
    std::string title;            // cell (1,1), bold and underlined
    int16_t rows = 0;             // rows without the two of the share
    std::vector<FeeCell> cells;   // written in this order, top to bottom
    std::string share;            // mskBezug's text
    std::string fee;              // the fee label's text the share applies to
    double shareFactor = 1;       // a reduction multiplied into the share amount
    int16_t shareRow = 0;         // 0: the last row of the table grown by two
};

// The fixed identity of a category dialog.
struct Category {
    std::string name;      // "frmKat5": module name of the dialog's failures
    std::string marker;    // "Honora_5": the comment on cell (1,5) of its table
    ColumnWidths widths{};
};

// The headings of row 2, bold in every fee table.
inline const std::array<std::string, 5> kFeeTableHeadings = {
    "Geb. V.", "Gegenstand", "Anzahl", "Einzelgebühr [€]", "Gebühr [€]"};

}  // namespace honora
