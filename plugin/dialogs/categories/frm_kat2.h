// frmKat2, the Baulandumlegung dialog (item 30.2): parcels and boundary points
// at fixed unit fees times the value factor and Faktor A, with the 30.2.4 reduction.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"
#include "plugin/dialogs/framework/fee_items.h"
#include "plugin/dialogs/framework/fee_record.h"

namespace honora::kat2 {

inline constexpr std::string_view kName = "frmKat2";
inline constexpr std::string_view kCaption = "Baulandumlegung nach Nr. 30.2";

namespace ctl {
inline constexpr char kDichte[] = "lblDichtefaktor";  // Faktor A of the area type
inline constexpr char kOption1[] = "sevOption1";      // "W, M, SO": 1,6
inline constexpr char kOption2[] = "sevOption2";      // "G, sonstige Sondergebiete": 3,0
inline constexpr char kReductionShare[] = "chkErmäßigung";  // 20 % off the fee, in the table only
inline constexpr char kZwischen[] = "lblZwischen";
inline constexpr char kSumme[] = "lblSumme";
}  // namespace ctl

// The fee record's amount of the 30.2.4 row, which no control shows.
inline constexpr char kReduction[] = "reduction";

// The four items in the order they are summed.
extern const std::array<FeeItem, 4> kFeeItems;

// Faktor A as its label and the table show it: one decimal, "3,0".
std::string AreaFactorText(double factor);

// What the fee rule reads: the counts in the order of kFeeItems and the two
// factors as their labels show them.
struct Inputs {
    std::array<double, 4> counts{};
    double valueFactor = 0;  // lblFaktor
    double areaFactor = 0;      // lblDichtefaktor
};
struct Fees {
    std::array<double, 4> items{};
    double subtotal = 0;
    double total = 0;      // subtotal × value factor × Faktor A
    double reduction = 0;  // -20 % of the fee as its label shows it
};
Inputs ReadInputs(kado::forms::Form& form);
Fees ComputeFees(const Inputs& in);
// Every item label, lblZwischen, lblSumme and the reduction at width 8.
FeeRecord Record(const Fees& fees);

Category Definition();
void Controls(kado::forms::Form& form);
// 21 rows, two more for the reduction; the share amount carries its factor 0,8.
FeeRows TableRows();

}  // namespace honora::kat2
