#include "host/invoice_choice.h"

namespace kado::host {

std::vector<InvoiceRecord> InvoiceRecords(dao::Database& db) {
    std::vector<InvoiceRecord> records;
    auto rs = db.OpenRecordset("SELECT ID_Rechnungsnummer, Rechnungsnummer FROM Rechnung ORDER BY ID_Rechnungsnummer");
    for (; !rs->EOF_(); rs->MoveNext()) {
        const auto number = rs->Field("Rechnungsnummer");
        records.push_back({static_cast<int>(rs->Field("ID_Rechnungsnummer").ToLong()),
                           number.IsNull() ? std::string() : number.ToString()});
    }
    return records;
}

std::optional<int> ChooseInvoice(const std::shared_ptr<forms::Desktop>& desktop, const std::string& database,
                                 const std::vector<InvoiceRecord>& records, std::optional<int> current) {
    std::optional<int> chosen;
    auto form = forms::Form::Create(desktop, "frmRechnungWahl", [&](forms::Form& f) {
        f.SetCaption("Rechnung wählen");
        f.Add<forms::Label>("lblDatenbank", {0, 0, 1, 3}).SetCaption("Datenbank: " + database);
        f.Add<forms::Label>("lblRechnung", {1, 0}).SetCaption("Rechnung (Nr., Rechnungsnummer):");
        auto& list = f.Add<forms::ComboBox>("cmbRechnung", {1, 1, 1, 2});
        list.SetWidthChars(32);
        for (const auto& r : records) list.AddItem(std::to_string(r.id) + "   " + r.number);
        auto& ok = f.Add<forms::CommandButton>("cmdOK", {2, 1});
        ok.SetCaption("&OK");
        f.Add<forms::CommandButton>("cmdAbbruch", {2, 2}).SetCaption("&Abbrechen");
        int at = records.empty() ? -1 : 0;
        for (size_t i = 0; i < records.size(); ++i)
            if (current && records[i].id == *current) at = static_cast<int>(i);
        list.SetListIndex(at);
        ok.SetEnabled(at >= 0);
        ok.OnClick([&f, &list, &records, &chosen] {
            if (list.ListIndex() >= 0) chosen = records[static_cast<size_t>(list.ListIndex())].id;
            f.Unload();
        });
        f.Item("cmdAbbruch").OnClick([&f] { f.Unload(); });
    });
    form->Show(true);
    form->Unload();
    return chosen;
}

}  // namespace kado::host
