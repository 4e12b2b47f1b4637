// A category's fee table declared once, as blocks of cells: the confirmation
// derives the cells it writes from it, the read-back the inputs it restores.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/word/word.h"

namespace honora {

// Whether a block or cell is written, read off the dialog as it stands; empty: always.
using Condition = std::function<bool(kado::forms::Form&)>;

// The field's text read plainly is above 0 (an empty count is 0).
Condition CountAbove0(std::string field);
// The option button or check box is set ("optFaktor(0)").
Condition Selected(std::string key);
Condition Not(Condition condition);

// Where a written cell's text comes from.
struct CellText {
    enum class From : unsigned char { Literal, Field, Caption, Fee, Computed };
    From from = From::Literal;
    std::string value{};  // the literal, the control's key, or the fee record's
    std::string suffix{};
    std::function<std::string(kado::forms::Form&)> compute{};  // Computed
};
CellText Lit(std::string text);
// The text of a masked field, text box or combo box.
CellText FieldText(std::string key, std::string suffix = {});
// A label the user's inputs set (a factor); amounts come from the fee record.
CellText Caption(std::string label, std::string suffix = {});
// The text of an amount of the fee record (fee_record.h).
CellText FeeText(std::string key, std::string suffix = {});
// A fee cell: the amount's text followed by " €".
CellText Amount(std::string key);
// A text worked out from the dialog as it stands (a band text, a reformatted amount).
CellText Computed(std::function<std::string(kado::forms::Form&)> compute);

// What the read-back puts into an input from the cell's text.
struct Restore {
    enum class Into : unsigned char { Nothing, Text, Caption, Number, Rule };
    Into into = Into::Nothing;
    std::string key{};
    // Number: the cell's German reading reformatted at this width and decimals.
    int16_t width = 0;
    int16_t decimals = 0;
    std::function<void(kado::forms::Form&, const std::string&)> apply{};  // Rule
};
Restore IntoText(std::string key);
Restore IntoCaption(std::string label);
Restore IntoNumber(std::string key, int16_t width, int16_t decimals);
// The category's own reading of the cell (a band text back into an amount).
Restore IntoRule(std::function<void(kado::forms::Form&, const std::string&)> apply);

// What a column-5 amount is to the totals. Payable is the fee the share
// applies to; an Adjustment (a reduction of it) is billed with it and, like
// it, excluded when a share row restates the total.
enum class Role : unsigned char { Text, Excluded, Payable, Adjustment };

struct CellSpec {
    int16_t row = 0;  // within its block, from 0
    int16_t column = 0;
    CellText text{};
    Role role = Role::Text;
    bool bold = false;
    Condition when{};  // besides the block's
    Restore restore{};
};

// One way a block can be filled. The first literal cell is its key: the
// read-back knows the variant by that cell's text.
struct Variant {
    Condition when{};
    std::vector<CellSpec> cells{};
    std::string selects{};  // read-back: the option or check box set when it is found
};

// Rows written together. Not written (no variant's condition holds), a block
// closes up unless it keeps its place, so the rows below it move up.
struct BlockSpec {
    int16_t height = 1;
    std::vector<Variant> variants{};  // written: the first whose condition holds
    bool keepsPlace = false;
    int fallback = -1;  // read-back: the variant restored when no key matches; -1 none
};

// A title for cell (1,1); the read-back knows it by a part of its text.
struct TitleSpec {
    std::string text{};
    Condition when{};
    std::string key{};
    std::string selects{};
};

// The rows from 3 down; row 1 is the title, row 2 the headings, and the frame
// adds the share row one empty row below the last block. Exactly one cell is
// Payable: the fee the share applies to.
struct FeeRows {
    std::vector<TitleSpec> titles{};
    std::vector<BlockSpec> blocks{};
    // Rows the table has beyond its blocks, left empty below them; none when empty.
    std::function<int16_t(kado::forms::Form&)> spareRows{};
    // A factor the share amount multiplies in besides the share (a reduction); 1 when empty.
    std::function<double(kado::forms::Form&)> shareFactor{};
    // After the cells are read: restores what the fee used but the table shows
    // only through its amounts, so that confirming unchanged keeps the fee.
    std::function<void(kado::forms::Form&, const kado::word::Table&)> implied{};
};

}  // namespace honora
