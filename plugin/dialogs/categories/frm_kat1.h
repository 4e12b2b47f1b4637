// frmKat1, the Zerlegung dialog (item 30.1): parcels and boundary points at
// fixed unit fees, the splinter reduction and the larger of two value factors.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"
#include "plugin/dialogs/framework/fee_items.h"
#include "plugin/dialogs/framework/fee_record.h"

namespace honora::kat1 {

inline constexpr std::string_view kName = "frmKat1";
inline constexpr std::string_view kCaption = "Zerlegung nach Nr. 30.1";

namespace ctl {
inline constexpr char kWeiter75[] = "mskWeiter75";  // further parcels < 75 m², counted only after a first
inline constexpr char kGesamt75[] = "mskGesamt75";
inline constexpr char kAGP[] = "mskAGP";
inline constexpr char kSplitter[] = "sevCheck1";        // splinter areas: factor 0,7
inline constexpr char kSplinterFactor[] = "lblSplitter";  // "Faktor ... 0,7", shown while ticked
inline constexpr char kZwischen[] = "lblZwischen";
inline constexpr char kSumme[] = "lblSumme";
}  // namespace ctl

// In the order the fee is summed; the last is the marked points (30.22.2),
// added after the splinter reduction.
extern const std::array<FeeItem, 8> kFeeItems;
inline constexpr size_t kFurtherSmallIndex = 4;  // index of the further small parcels

// What the fee rule reads: the counts in the order of kFeeItems, the splinter
// box and both factors as their labels show them.
struct Inputs {
    std::array<double, 8> counts{};
    bool splinter = false;
    double classification = 0;  // lblStrasse
    double landValue = 0;       // lblFaktor
};
struct Fees {
    std::array<double, 8> items{};  // count × unit fee, in the order of kFeeItems
    double subtotal = 0;            // the items before the marked points, unreduced
    double total = 0;               // (subtotal [× 0,7] + marked points) × the larger factor
};
Inputs ReadInputs(kado::forms::Form& form);
Fees ComputeFees(const Inputs& in);
// Every item label, lblZwischen and lblSumme.
FeeRecord Record(const Fees& fees);

Category Definition();
void Controls(kado::forms::Form& form);
// With a subtotal below zero: the small parcels the reductions count beyond
// the formed ones, as the user is told it; empty while the subtotal is not negative.
std::string Contradiction(kado::forms::Form& form, const FeeRecord& fees);
// Empties the descriptions and blanks the counts (not mskWeiter75) and the land value.
void StartwerteSetzen(kado::forms::Form& form);
// 19 rows and the optional blocks; two spare rows when further parcels are
// counted without a first one, whose row is then not written.
FeeRows TableRows();

}  // namespace honora::kat1
