#include "plugin/invoice/totals_figures.h"

#include <cmath>

#include "platform/com/error.h"
#include "plugin/common/steps.h"

namespace honora {

double Mehrwertsteuer(float rate, double net) {
    return std::floor(static_cast<double>(rate) * net + 0.5) / 100;
}

InvoiceTotals ComputeTotals(const FeeTotals& fees, const DiscountSettings& discount) {
    Steps s("GebührenTabelle", "SummeBilden");
    InvoiceTotals r;
    s(200, [&] {
        for (const auto& rate : fees.rates) {
            r.vatTotal += Mehrwertsteuer(rate.rate, rate.subtotal);
            r.taxedNet += rate.subtotal;
        }
    });
    if (discount.absoluteAmount == 0 && discount.percent == 100 && discount.rebate == 0) {
        s(210, [&] {
            r.netDue = fees.net;
            r.factor = 1;
        });
    } else {
        r.discount = true;
        r.firstVatRow = 3;
        r.lastRow = 4;
        if (discount.rebate > 0) {
            const double shareRow = (100 - discount.rebate) / 100.0;
            s(220, [&] { r.netDue = fees.net * (100 - discount.rebate) / 100; });
            s(221, [&] { r.vatTotal = r.vatTotal * (100 - discount.rebate) / 100; });
            s(222, [&] { r.taxedNet = r.taxedNet * (100 - discount.rebate) / 100; });
            s(223, [&] { r.factor = shareRow; });
        } else if (discount.percent < 100) {
            s(230, [&] { r.netDue = fees.net * discount.percent / 100; });
            s(231, [&] { r.vatTotal = r.vatTotal * discount.percent / 100; });
            s(232, [&] { r.taxedNet = r.taxedNet * discount.percent / 100; });
            s(233, [&] { r.factor = discount.percent / 100.0; });
        } else {
            s(240, [&] {
                if (fees.net == 0) kado::com::Raise(kado::com::err::DivisionByZero, "Division by zero");
                r.factor = discount.absoluteAmount / fees.net;
            });
            s(241, [&] { r.vatTotal *= r.factor; });
            s(242, [&] { r.taxedNet *= r.factor; });
            s(243, [&] { r.netDue = discount.absoluteAmount; });
        }
    }
    s(250, [&] {
        const auto zeilen = static_cast<int32_t>(r.lastRow) + static_cast<int32_t>(fees.rates.size());
        if (zeilen > INT16_MAX) kado::com::Raise(kado::com::err::Overflow, "Overflow");
        r.lastRow = static_cast<int16_t>(zeilen);
    });
    return r;
}

}  // namespace honora
