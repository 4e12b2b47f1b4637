// frmKat4's fee rule: the base fee of the cost band, and 30 % of it for every
// further started group of 1 to 5 buildings.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "platform/com/error.h"
#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat4.h"

namespace honora::kat4 {

namespace forms = kado::forms;
using kado::com::NumberToText;
using kado::com::PlainRead;

namespace {

using schedule::kBuildingsPerGroup;
using schedule::kFurtherGroupShare;

// The costs of the lowest band the read-back restores: it has no lower limit.
constexpr double kLowestCosts = 20'000;

// A conversion to a whole number as the fee rule's integers take it: halves to even, out of range fails.
template <class Int>
Int Truncated(double value) {
    const double r = kado::com::RoundHalfEven(value);
    if (!(r >= std::numeric_limits<Int>::min() && r <= std::numeric_limits<Int>::max()))
        kado::com::Raise(kado::com::err::Overflow, "Overflow");
    return static_cast<Int>(r);
}

}  // namespace

Band BandOfCosts(double b) {
    for (const auto& band : schedule::kBands)
        if (b <= band.upTo) return {band.baseFee, band.text};
    const int32_t q = Truncated<int32_t>(b) / schedule::kMillionBandWidth;
    const int32_t m = q * (schedule::kMillionBandWidth / 1'000'000);
    return {(q + 1) * schedule::kMillionBandFee,
            "zwischen " + std::to_string(m) + " M€ und " + std::to_string(m + schedule::kMillionBandWidth / 1'000'000) +
                " M€"};
}

std::optional<double> CostsOfBand(std::string_view text) {
    double lower = kLowestCosts - 1;
    for (const auto& band : schedule::kBands) {
        if (text == band.text) return lower + 1;
        lower = band.upTo;
    }
    // Above the table every band starts one euro above a multiple of its width.
    for (int64_t von = schedule::kMillionBandWidth; von <= std::numeric_limits<int32_t>::max();
         von += schedule::kMillionBandWidth) {
        const double b = static_cast<double>(von) + 1;
        if (BandOfCosts(b).text == text) return b;
    }
    return std::nullopt;
}

Inputs ReadInputs(forms::Form& form) {
    return {PlainRead(form.Get<forms::MaskEdBox>(ctl::kBaukosten).Text()),
            PlainRead(form.Get<forms::MaskEdBox>(ctl::kAnzahl).Text())};
}

Fees ComputeFees(const Inputs& in) {
    Fees f;
    f.base = BandOfCosts(in.buildingCosts).basicFee;
    const int16_t n = Truncated<int16_t>(in.buildings);
    f.perGroup = kFurtherGroupShare * f.base;
    f.total = f.base;
    if (n > kBuildingsPerGroup) {
        f.groups = (n - 1) / kBuildingsPerGroup;
        f.further = f.groups * f.base * kFurtherGroupShare;
        f.total = f.base + f.further;
    }
    return f;
}

FeeRecord Record(const Fees& fees) {
    auto text = [](double x, int16_t width, int16_t decimals) {
        return WertFormatieren(NumberToText(x), width, decimals, true);
    };
    FeeRecord r;
    const std::string base = text(fees.base, 6, 0);
    r.AddText(ctl::kGebühr100, fees.base, base);
    r.AddText(ctl::kGebühr30, fees.perGroup, text(fees.perGroup, 6, 0));
    // Without further groups their count is blank and their fee a fixed zero text.
    const std::string further = fees.groups > 0 ? text(fees.further, 7, 2) : " 0,00";
    r.AddText(ctl::kAnzahl30, fees.groups, fees.groups > 0 ? text(fees.groups, 4, 0) : "    ");
    r.AddText(ctl::kSumme30, fees.further, further);
    r.AddText(ctl::kSumme, fees.total, text(fees.total, 6, 2));
    // The table restates the labels' texts, not the values.
    r.AddText(kBaseCell, fees.base, WertFormatieren(base, 8, 2, true), false);
    r.AddText(kFurtherCell, fees.further, WertFormatieren(further, 8, 2, true), false);
    return r;
}

}  // namespace honora::kat4
