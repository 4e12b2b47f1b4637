// frmKat3, the dialog for long linear facilities (item 30.3): parcels and
// boundary points at fixed unit fees times the facility's classification factor.
#pragma once

#include <array>
#include <string_view>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"
#include "plugin/dialogs/framework/fee_items.h"
#include "plugin/dialogs/framework/fee_record.h"

namespace honora::kat3 {

inline constexpr std::string_view kName = "frmKat3";
inline constexpr std::string_view kCaption = "Lang gestreckte Anlagen nach Nr. 30.3";

namespace ctl {
inline constexpr char kFlurstücke[] = "mskFlurstücke";  // formed and accessory parcels
inline constexpr char kZwischen[] = "lblZwischen";
inline constexpr char kSumme[] = "lblSumme";
}  // namespace ctl

// The four items in the order they are summed.
extern const std::array<FeeItem, 4> kFeeItems;

// What the fee rule reads: the counts in the order of kFeeItems and the value
// factor as lblFaktor shows it.
struct Inputs {
    std::array<double, 4> counts{};
    double valueFactor = 0;
};
struct Fees {
    std::array<double, 4> items{};
    double subtotal = 0;
    double total = 0;  // subtotal × value factor
};
Inputs ReadInputs(kado::forms::Form& form);
Fees ComputeFees(const Inputs& in);
// Every item label, lblZwischen and lblSumme.
FeeRecord Record(const Fees& fees);

Category Definition();
// The classification list starts on its first entry; its factor goes into lblFaktor.
void Controls(kado::forms::Form& form);
// 21 rows; the value factor block carries item 30.23.2.
FeeRows TableRows();

}  // namespace honora::kat3
