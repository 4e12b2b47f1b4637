#include "plugin/invoice/totals_collect.h"

#include <algorithm>

#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/invoice/markers.h"

namespace honora {

FeeTotals CollectFees(kado::word::Document& doc, int16_t standardRate) {
    FeeTotals sum;
    auto still = [](auto&& step) { Steps::Quiet(step); };
    fee_collection::GebührenzellenDurchgehen(doc, still, [&](const fee_collection::Gebührenzelle& zelle) {
        const FeeMark mark = DecodeFeeMark(zelle.marke);
        const double rate = mark.kind == FeeMark::Kind::Rate ? mark.rate : standardRate;
        const double value = CVal(zelle.betrag);
        if (rate > 0) {
            const float s = static_cast<float>(rate);
            auto it = std::find_if(sum.rates.begin(), sum.rates.end(),
                                   [s](const VatRateSum& x) { return x.rate == s; });
            if (it == sum.rates.end()) it = sum.rates.insert(sum.rates.end(), VatRateSum{s, 0});
            it->subtotal += value;
        }
        sum.net += value;
    });
    return sum;
}

}  // namespace honora
