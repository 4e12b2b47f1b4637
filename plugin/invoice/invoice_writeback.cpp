#include "plugin/invoice/invoice_writeback.h"

#include <cmath>

#include "platform/com/error.h"
#include "platform/com/numtext.h"
#include "plugin/common/steps.h"

namespace honora {

double Cent(double euro) {
    // Round on the 15 significant digits the runtime shows, so that
    // 1.005 * 100 = 100.49999999999999 counts as the half it stands for.
    const double cent = euro * 100;
    return std::round(kado::com::ReadDotNumber(kado::com::DotText(cent)).value_or(cent));
}

void WriteBackInvoice(kado::dao::Recordset& invoice, const InvoiceTotals& sum, bool credit,
                             int16_t standardRate) {
    Steps s("GebührenTabelle", "SummeBilden");
    const double sign = credit ? -1 : 1;
    s(1000, [&] { invoice.Edit(); });
    s(1010, [&] { invoice.SetField("NettoRechnung", Cent(sign * sum.taxedNet)); });
    s(1020, [&] { invoice.SetField("Brutto", Cent(sign * (sum.netDue + sum.vatTotal))); });
    s(1030, [&] {
        invoice.SetField("MehrwertsteuerFreierbetrag", Cent(sign * (sum.netDue - sum.taxedNet)));
    });
    s(1040, [&] {
        const int32_t rate = standardRate * 10;
        if (rate < INT16_MIN || rate > INT16_MAX) kado::com::Raise(kado::com::err::Overflow, "Overflow");
        invoice.SetField("Mehrwertsteuersatz", static_cast<int16_t>(rate));
    });
    // The figures are saved together or not at all: after a failed step the
    // edit is cancelled, so the record keeps its old figures whole.
    const bool complete = s.Failures() == 0;
    s(1050, [&] {
        if (complete)
            invoice.Update();
        else
            invoice.CancelUpdate();
    });
}

}  // namespace honora
