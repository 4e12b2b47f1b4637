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

using schedule::kGebäudeJeGruppe;
using schedule::kWeitereGruppeAnteil;

// The costs of the lowest band the read-back restores: it has no lower limit.
constexpr double kUntersteBaukosten = 20'000;

// A conversion to a whole number as the fee rule's integers take it: halves to even, out of range fails.
template <class Int>
Int Ganzzahl(double value) {
    const double r = kado::com::RoundHalfEven(value);
    if (!(r >= std::numeric_limits<Int>::min() && r <= std::numeric_limits<Int>::max()))
        kado::com::Raise(kado::com::err::Overflow, "Overflow");
    return static_cast<Int>(r);
}

}  // namespace

Band BandDerBaukosten(double b) {
    for (const auto& band : schedule::kBänder)
        if (b <= band.upTo) return {band.baseFee, band.text};
    const int32_t q = Ganzzahl<int32_t>(b) / schedule::kMillionenBandBreite;
    const int32_t m = q * (schedule::kMillionenBandBreite / 1'000'000);
    return {(q + 1) * schedule::kMillionenBandGebühr,
            "zwischen " + std::to_string(m) + " M€ und " + std::to_string(m + schedule::kMillionenBandBreite / 1'000'000) +
                " M€"};
}

std::optional<double> BaukostenDesBands(std::string_view text) {
    double unten = kUntersteBaukosten - 1;
    for (const auto& band : schedule::kBänder) {
        if (text == band.text) return unten + 1;
        unten = band.upTo;
    }
    // Above the table every band starts one euro above a multiple of its width.
    for (int64_t von = schedule::kMillionenBandBreite; von <= std::numeric_limits<int32_t>::max();
         von += schedule::kMillionenBandBreite) {
        const double b = static_cast<double>(von) + 1;
        if (BandDerBaukosten(b).text == text) return b;
    }
    return std::nullopt;
}

void GebührBerechnen(forms::Form& form) {
    Steps s(kName, "Zeitdifferenz");
    double g0 = 0;
    int16_t n = 0;
    double g = 0;
    s(100, [&] { g0 = BandDerBaukosten(PlainRead(form.Get<forms::MaskEdBox>(ctl::kBaukosten).Text())).grundgebühr; });
    s(110, [&] { n = Ganzzahl<int16_t>(PlainRead(form.Get<forms::MaskEdBox>(ctl::kAnzahl).Text())); });
    s(120, [&] { form.Get<forms::Label>(ctl::kGebühr100).SetCaption(WertFormatieren(NumberToText(g0), 6, 0, true)); });
    s(130, [&] {
        form.Get<forms::Label>(ctl::kGebühr30).SetCaption(WertFormatieren(NumberToText(kWeitereGruppeAnteil * g0), 6, 0, true));
    });
    if (n > kGebäudeJeGruppe) {
        const int k = (n - 1) / kGebäudeJeGruppe;
        const double e = k * g0 * kWeitereGruppeAnteil;
        s(140, [&] { form.Get<forms::MaskEdBox>(ctl::kAnzahl30).SetText(WertFormatieren(NumberToText(k), 4, 0, true)); });
        s(150, [&] { form.Get<forms::Label>(ctl::kSumme30).SetCaption(WertFormatieren(NumberToText(e), 7, 2, true)); });
        g = g0 + e;
    } else {
        s(160, [&] { form.Get<forms::MaskEdBox>(ctl::kAnzahl30).SetText("    "); });
        s(170, [&] { form.Get<forms::Label>(ctl::kSumme30).SetCaption(" 0,00"); });
        g = g0;
    }
    s(180, [&] { form.Get<forms::Label>(ctl::kSumme).SetCaption(WertFormatieren(NumberToText(g), 6, 2, true)); });
}

}  // namespace honora::kat4
