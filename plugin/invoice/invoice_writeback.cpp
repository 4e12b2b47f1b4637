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

void RechnungZurückschreiben(kado::dao::Recordset& rechnung, const Rechnungssumme& summe, bool gutschrift,
                             int16_t standardSatz) {
    Steps s("GebührenTabelle", "SummeBilden");
    const double vorzeichen = gutschrift ? -1 : 1;
    s(1000, [&] { rechnung.Edit(); });
    s(1010, [&] { rechnung.SetField("NettoRechnung", Cent(vorzeichen * summe.steuerNetto)); });
    s(1020, [&] { rechnung.SetField("Brutto", Cent(vorzeichen * (summe.nettoFällig + summe.mwstGesamt))); });
    s(1030, [&] {
        rechnung.SetField("MehrwertsteuerFreierbetrag", Cent(vorzeichen * (summe.nettoFällig - summe.steuerNetto)));
    });
    s(1040, [&] {
        const int32_t satz = standardSatz * 10;
        if (satz < INT16_MIN || satz > INT16_MAX) kado::com::Raise(kado::com::err::Overflow, "Overflow");
        rechnung.SetField("Mehrwertsteuersatz", static_cast<int16_t>(satz));
    });
    // The figures are saved together or not at all: after a failed step the
    // edit is cancelled, so the record keeps its old figures whole.
    const bool vollständig = s.Failures() == 0;
    s(1050, [&] {
        if (vollständig)
            rechnung.Update();
        else
            rechnung.CancelUpdate();
    });
}

}  // namespace honora
