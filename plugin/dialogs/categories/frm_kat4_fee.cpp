// frmKat4's fee rule: the base fee of the cost band, and 30 % of it for every
// further started group of 1 to 5 buildings.
#include <cstdint>
#include <limits>

#include "platform/com/error.h"
#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/frm_kat4.h"

namespace honora::kat4 {

namespace forms = kado::forms;
using kado::com::NumberToText;
using kado::com::PlainRead;

namespace {

constexpr double kWeitereAnteil = 0.3;
constexpr int kJeGruppe = 5;

struct Stufe {
    double bis;
    double grundgebühr;
    const char* text;
};
constexpr Stufe kStufen[] = {
    {25'000, 100, "bis 25 T€"},
    {100'000, 200, "zwischen 25 T€ und 100 T€"},
    {400'000, 300, "zwischen 100 T€ und 400 T€"},
    {800'000, 500, "zwischen 400 T€ und 800 T€"},
    {2'000'000, 800, "zwischen 800 T€ und 2 M€"},
    {5'000'000, 1200, "zwischen 2 M€ und 5 M€"},
};
constexpr int32_t kJeMillionenStufe = 5'000'000;
constexpr double kJeMillionenGebühr = 1200;

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
    for (const auto& stufe : kStufen)
        if (b <= stufe.bis) return {stufe.grundgebühr, stufe.text};
    const int32_t q = Ganzzahl<int32_t>(b) / kJeMillionenStufe;
    const int32_t m = q * 5;
    return {(q + 1) * kJeMillionenGebühr,
            "zwischen " + std::to_string(m) + " M€ und " + std::to_string(m + 5) + " M€"};
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
        form.Get<forms::Label>(ctl::kGebühr30).SetCaption(WertFormatieren(NumberToText(kWeitereAnteil * g0), 6, 0, true));
    });
    if (n > kJeGruppe) {
        const int k = (n - 1) / kJeGruppe;
        const double e = k * g0 * kWeitereAnteil;
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
