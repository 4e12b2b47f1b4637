// What a fee category supplies to the shared dialog frame: its names, widths,
// fee table rows and frame features as data, its controls and fee rule as hooks.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/word/word.h"
#include "plugin/dialogs/framework/fee_record.h"
#include "plugin/dialogs/framework/fee_rows.h"
#include "plugin/invoice/markers.h"

namespace honora {

// Widths of the five fee-table columns in centimetres (they add up to 17.5).
using ColumnWidths = std::array<double, 5>;

// One write into the fee table through wordTabelle.
struct FeeCell {
    int16_t row = 0;
    int16_t column = 0;
    std::string text{};
    bool bold = false;
    FeeMark mark{};  // the comment the cell gets, none for the standard mark
    // The amount the client pays: no comment, unless a share row restates it,
    // then excluded (the mark above is not used).
    bool payable = false;
};

// The content of one confirmation, derived from the category's rows and labels.
struct FeeTable {
    std::string title{};           // cell (1,1), bold and underlined
    int16_t rows = 0;              // rows without the two of the share
    std::vector<FeeCell> cells{};  // written in this order, top to bottom
    std::string share{};           // mskBezug's text
    std::string fee{};             // the fee's text the share applies to
    double feeShown = 0;           // that text's amount: the share applies to the rounded fee
    double shareFactor = 1;        // a reduction multiplied into the share amount
    int16_t shareRow = 0;          // one empty row below the last block; 0: the table's last row
    // First and last row of each written block that has cells, top to bottom:
    // a page break falls between them, never inside one.
    std::vector<std::pair<int16_t, int16_t>> blocks{};
};

// Rules of the frame a category takes part in; the frame checks at
// registration that the category's design has the controls they work on.
struct Features {
    bool valueFactor = false;           // mskBoden sets lblFaktor when left
    bool classificationFactor = false;  // cmbKlassifizierung sets lblStrasse when left
    bool commaRule = true;              // a comma typed into mskBezug formats the share
};

// An input whose event recomputes the fees: LostFocus of a field, Click of an
// option or check box. Failures of the handler go to module.procedure; empty
// texts mean the dialog's name and key + "_LostFocus" or "_Click".
using FormHook = std::function<void(kado::forms::Form&)>;

struct Trigger {
    std::string key{};  // "mskAGPo", "optNr(3)"
    std::string module{};
    std::string procedure{};
    // Runs before the recomputation (a factor the input sets); when it fails the handler ends.
    FormHook before{};
};

// A category dialog: its identity as data, everything particular as hooks.
// The frame itself (load sequence, focus and key rules, confirmation, cancel)
// is the framework's; see category_dialog.h.
struct Category {
    std::string name{};    // "frmKat5": form name and module name of the dialog's failures
    std::string marker{};  // "Honora_5": the comment on cell (1,5) of its table
    ColumnWidths widths{};
    std::string caption{};  // window caption

    // Adds the category's controls and lays them out; AddFrameControls gives the
    // shared ones (lblVersion, CommandEnde, CommandAbbruch, mskBezug).
    FormHook design{};
    // Sets inputs that follow from others before the fee rule reads them; may be empty.
    FormHook inputRule{};
    // The fee rule: the inputs as the dialog holds them computed into every
    // amount it shows or its table writes. The frame fills the controls and the
    // table from the record; a throw leaves the last record standing.
    std::function<FeeRecord(kado::forms::Form&)> feeRule{};
    // Start values for a document without an earlier table; may be empty.
    FormHook StartwerteSetzen{};
    // frmKat1 sets its start values on every load, before the read-back.
    bool startValuesAlways = false;
    // The fee table: written from it on OK, the inputs restored from it on load.
    FeeRows rows{};
    Features features{};
    // The counts that contradict each other (more reductions than parcels),
    // as the user is told them; empty when they agree. While they contradict,
    // the confirmation writes nothing and the dialog stays open.
    std::function<std::string(kado::forms::Form&, const FeeRecord&)> contradiction{};

    // Inputs that recompute when left or clicked. mskBoden and cmbKlassifizierung
    // need no entry when their feature is on: the frame sets their factor first.
    std::vector<Trigger> recalcOnLeave{};
    std::vector<Trigger> recalcOnClick{};
};

// Where a trigger's handler logs its failures: module and procedure.
inline std::pair<std::string, std::string> LogPlace(const Category& k, const Trigger& t, std::string_view event) {
    return {t.module.empty() ? k.name : t.module, t.procedure.empty() ? t.key + std::string(event) : t.procedure};
}

// The headings of row 2, bold in every fee table.
inline const std::array<std::string, 5> kFeeTableHeadings = {"Geb. V.", "Gegenstand", "Anzahl", "Einzelgebühr [€]",
                                                             "Gebühr [€]"};

}  // namespace honora
