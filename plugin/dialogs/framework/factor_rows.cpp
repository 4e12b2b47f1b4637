#include "plugin/dialogs/framework/factor_rows.h"

#include <utility>

#include "plugin/dialogs/framework/frame_controls.h"

namespace honora {

namespace {

Variant Rows(const char* item, const char* basis, CellSpec input, const char* label, Condition when,
             std::string selects) {
    return {.when = std::move(when),
            .cells = {{.column = 1, .text = Lit(item)},
                      {.column = 2, .text = Lit("Wertfaktor")},
                      {.row = 1, .column = 2, .text = Lit(basis)},
                      {.row = 1, .column = 3, .text = Lit("Faktor")},
                      std::move(input),
                      {.row = 2, .column = 3, .text = Caption(label), .restore = IntoCaption(label)}},
            .selects = std::move(selects)};
}

}  // namespace

Variant LandValueRows(Condition when, std::string selects) {
    return Rows("30.23.1", "Bodenwert",
                {.row = 2, .column = 2, .text = FieldText(ctl::kBoden, " €/m²"), .restore = IntoNumber(ctl::kBoden, 4, 0)},
                ctl::kFaktor, std::move(when), std::move(selects));
}

Variant ClassificationRows(Condition when, std::string selects) {
    return Rows("30.23.2", "Klassifizierung",
                {.row = 2, .column = 2, .text = FieldText(ctl::kKlassifizierung),
                 .restore = IntoText(ctl::kKlassifizierung)},
                ctl::kStrasse, std::move(when), std::move(selects));
}

}  // namespace honora
