// frmKat5's fee table: the rows it writes from its labels, and the fixed cell
// positions it restores its inputs from when the dialog opens on it again.
#include <string>

#include "platform/com/error.h"
#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/cell_io.h"
#include "plugin/dialogs/framework/share.h"

namespace honora::kat5 {

namespace forms = kado::forms;
using kado::com::PlainRead;

Category Kategorie() {
    Category k;
    k.name = std::string(kName);
    k.marker = "Honora_5";
    k.widths = {1.5, 8.3, 1.9, 3.3, 2.5};
    k.caption = std::string(kCaption);
    k.design = Controls;
    k.GebührBerechnen = GebührBerechnen;
    k.StartwerteSetzen = StartwerteSetzen;
    k.TabelleEinlesen = TabelleEinlesen;
    k.Gebührentabelle = Gebührentabelle;
    k.recalcOnLeave = {{"mskAGPo"}, {"mskAGP"}};
    k.recalcOnClick = {{"optNr(0)"}, {"optNr(3)"}};
    return k;
}

std::string Überschrift(forms::Form& form) {
    return form.Get<forms::OptionButton>("optNr", 3).Value() ? "Grenzfeststellung nach Nr. 30.6.2.1"
                                                             : "Grenzfeststellung nach Nr. 30.6.1.1";
}

FeeTable Gebührentabelle(forms::Form& form) {
    // Each read is a statement of the confirmation: one that fails loses its cell only.
    Steps s(kName, "CommandEnde_Click");
    int32_t step = 1000;
    auto text = [&](const char* name) { return form.Get<forms::MaskEdBox>(name).Text(); };
    auto caption = [&](const char* label) { return form.Get<forms::Label>(label).Caption(); };
    auto betrag = [&](const char* label) { return caption(label) + " €"; };
    auto count = [&](const char* name) {
        double n = 0;
        s(step += 10, [&] { n = PlainRead(text(name)); });
        return n;
    };

    FeeTable t;
    auto cell = [&](int16_t row, int16_t column, auto&& value, bool bold = false, const char* comment = "",
                    bool payable = false) {
        s(step += 10, [&] { t.cells.push_back({row, column, std::string(value()), bold, comment, payable}); });
    };
    auto fixed = [](const char* literal) { return [literal] { return literal; }; };

    s(step += 10, [&] { t.title = Überschrift(form); });
    t.rows = 17;
    s(step += 10, [&] { t.share = text("mskBezug"); });
    s(step += 10, [&] { t.fee = caption("lblSumme"); });

    cell(3, 1, fixed("30.22.1"));
    cell(3, 2, fixed("Grenzfeststellung"));
    if (count("mskAGPo") > 0) {
        cell(3, 3, [&] { return text("mskAGPo"); });
        cell(3, 4, fixed("40,00 €"));
        cell(3, 5, [&] { return betrag("lblAGPo"); }, false, "no");
    }
    // Row 5 keeps its place when nothing was marked, so the read-back positions stay fixed.
    if (count("mskAGP") > 0) {
        cell(5, 1, fixed("30.22.2"));
        cell(5, 2, fixed("abgemarkte Grenzpunkte"));
        cell(5, 3, [&] { return text("mskAGP"); });
        cell(5, 4, fixed("40,00 €"));
        cell(5, 5, [&] { return betrag("lblAGP"); }, false, "no");
    }
    cell(7, 2, fixed("Zwischensumme"), true);
    cell(7, 5, [&] { return betrag("lblZwischen"); }, false, "no");

    bool bodenwert = true;
    s(step += 10, [&] { bodenwert = form.Get<forms::OptionButton>("optFaktor", 0).Value(); });
    if (bodenwert) {
        cell(9, 1, fixed("30.23.1"));
        cell(9, 2, fixed("Wertfaktor"));
        cell(10, 2, fixed("Bodenwert"));
        cell(10, 3, fixed("Faktor"));
        cell(11, 2, [&] { return text("mskBoden") + " €/m²"; });
        cell(11, 3, [&] { return caption("lblFaktor"); });
    } else {
        cell(9, 1, fixed("30.23.2"));
        cell(9, 2, fixed("Wertfaktor"));
        cell(10, 2, fixed("Klassifizierung"));
        cell(10, 3, fixed("Faktor"));
        cell(11, 2, [&] { return form.Get<forms::ComboBox>("cmbKlassifizierung").Text(); });
        cell(11, 3, [&] { return caption("lblStrasse"); });
    }
    cell(13, 2, fixed("Zwischensumme * Faktor"));
    cell(13, 5, [&] { return betrag("lblZF"); }, false, "no");
    cell(15, 2, fixed("Sockelbetrag"));
    cell(15, 5, [&] { return betrag("lblSockel"); }, false, "no");
    cell(17, 2, fixed("Gebühr"));
    cell(17, 5, [&] { return betrag("lblSumme"); }, false, "", true);
    return t;
}

void TabelleEinlesen(forms::Form& form, const kado::word::Table& Tabelle) {
    Steps s("Rechnung", "TabelleEinlesen");
    int rows = 0;
    int columns = 0;
    s(90, [&] {
        rows = Tabelle.GetRows().Count();
        columns = Tabelle.GetColumns().Count();
    });
    // A cell the table lacks fails its step, so the input it would fill keeps its
    // value instead of taking the empty text (a shorter or foreign table).
    auto zelle = [&](int16_t r, int16_t c) {
        if (r > rows || c > columns)
            kado::com::Raise(kado::com::err::WordCellMissing, "The requested member of the collection does not exist.");
        return ZelleEinlesen(Tabelle, r, c);
    };

    s(100, [&] {
        const std::string titel = zelle(1, 1);
        if (titel.find("30.6.1") != std::string::npos)
            form.Get<forms::OptionButton>("optNr", 0).SetValue(true);
        else if (titel.find("30.6.2") != std::string::npos)
            form.Get<forms::OptionButton>("optNr", 3).SetValue(true);
    });
    s(110, [&] { form.Get<forms::MaskEdBox>("mskAGPo").SetText(zelle(3, 3)); });
    s(120, [&] {
        if (zelle(5, 1) == "30.22.2") form.Get<forms::MaskEdBox>("mskAGP").SetText(zelle(5, 3));
    });
    bool klassifizierung = false;
    s(130, [&] { klassifizierung = zelle(9, 1) == "30.23.2"; });
    if (klassifizierung) {
        s(140, [&] { form.Get<forms::ComboBox>("cmbKlassifizierung").SetText(zelle(11, 2)); });
        s(150, [&] { form.Get<forms::Label>("lblStrasse").SetCaption(zelle(11, 3)); });
        s(160, [&] { form.Get<forms::OptionButton>("optFaktor", 1).SetValue(true); });
    } else {
        s(170, [&] {
            form.Get<forms::MaskEdBox>("mskBoden")
                .SetText(WertFormatieren(kado::com::NumberToText(CVal(zelle(11, 2))), 4, 0, true));
        });
        s(180, [&] { form.Get<forms::Label>("lblFaktor").SetCaption(zelle(11, 3)); });
        s(190, [&] { form.Get<forms::OptionButton>("optFaktor", 0).SetValue(true); });
    }
    // Without a share the table ends at row 17; the read logs and mskBezug keeps "1000,00".
    s(200, [&] { AnteilEinlesen(form, Tabelle, 19); });
}

}  // namespace honora::kat5
