// frmKat4, the Gebäudeaufnahme dialog (item 30.24): a base fee by the band of
// the building costs for up to 5 buildings, 30 % of it per further group of 5.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"
#include "plugin/dialogs/framework/category.h"
#include "plugin/dialogs/framework/fee_record.h"

namespace honora::kat4 {

inline constexpr std::string_view kName = "frmKat4";
inline constexpr std::string_view kCaption = "Gebäudeaufnahme nach Nr. 30.4";

namespace ctl {
inline constexpr char kGebäude[] = "txtGebäude";
inline constexpr char kAnzahl[] = "mskAnzahl";
inline constexpr char kBaukosten[] = "mskBaukosten";  // whole euros, nine digits
inline constexpr char kBereich[] = "chkBereich";      // the table names the band, not the amount
inline constexpr char kGebühr100[] = "lblGebühr100";  // base fee
inline constexpr char kGebühr30[] = "lblGebühr30";    // fee per further group
inline constexpr char kAnzahl30[] = "mskAnzahl30";    // further groups, computed
inline constexpr char kSumme30[] = "lblSumme30";
inline constexpr char kSumme[] = "lblSumme";
}  // namespace ctl

// The fee record's amounts the table restates at width 8 with two decimals.
inline constexpr char kBaseCell[] = "base fee cell";
inline constexpr char kFurtherCell[] = "further groups cell";

// The band the building costs lie in: its base fee and how the table names it.
struct Band {
    double basicFee;
    std::string text;
};
Band BandOfCosts(double buildingCostAmount);

// The building costs a band text stands for: one euro above its lower limit
// ("bis 25 T€" gives 20000); nullopt for a text that names no band.
std::optional<double> CostsOfBand(std::string_view text);

// What the fee rule reads: both fields read plainly.
struct Inputs {
    double buildingCosts = 0;
    double buildings = 0;
};
struct Fees {
    double base = 0;      // the band's base fee, up to 5 buildings
    double perGroup = 0;  // 30 % of it
    int groups = 0;       // further started groups of 5
    double further = 0;
    double total = 0;
};
Inputs ReadInputs(kado::forms::Form& form);
// Fails with 6 for a number of buildings beyond 16 bits.
Fees ComputeFees(const Inputs& in);
// lblGebühr100 and lblGebühr30 without decimals, mskAnzahl30, lblSumme30,
// lblSumme, and the two cells that restate base and further fees.
FeeRecord Record(const Fees& fees);

Category Definition();
void Controls(kado::forms::Form& form);
// 14 rows; the further-groups row only with more than 5 buildings, the fee
// row moving up a row without it.
FeeRows TableRows();

}  // namespace honora::kat4
