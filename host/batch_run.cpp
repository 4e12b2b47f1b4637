#include "host/batch_run.h"

#include <memory>
#include <string>
#include <system_error>

#include "host/verw_log.h"
#include "platform/com/error.h"
#include "platform/com/utf8.h"
#include "platform/com/variant.h"
#include "platform/dao/dao.h"
#include "platform/forms/driver.h"
#include "platform/forms/forms.h"
#include "platform/word/word.h"
#include "plugin/component/honora.h"
#include "plugin/dialogs/categories/category_dialogs.h"
#include "plugin/component/session_context.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;
using com::Variant;
using K = Action::Kind;

// What tells whether the dialog wrote to the document: text, comments, shapes.
std::string Fingerprint(const word::Document& doc) {
    std::string f = doc.Content().Text();
    const auto comments = doc.GetComments();
    for (int i = 1; i <= comments.Count(); ++i) f += "\x1f" + comments.Item(i).Text();
    f += "\x1e" + std::to_string(doc.GetTables().Count()) + "/" + std::to_string(doc.GetShapes().Count());
    return f;
}

// The first of the names that the form has, for buttons named differently per dialog.
std::string ButtonOf(forms::Form& form, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        for (auto* c : form.Controls())
            if (c->Key() == name) return name;
    }
    return *names.begin();
}

void PrintLabels(forms::Form& form, std::ostream& out) {
    for (auto* c : form.Controls())
        if (auto* label = dynamic_cast<forms::Label*>(c)) out << label->Key() << "=" << label->Caption() << "\n";
}

void AssignText(forms::Form& form, const std::string& key, const std::string& text) {
    auto& c = form.ItemByKey(key);
    if (auto* t = dynamic_cast<forms::TextBox*>(&c)) {
        t->SetText(text);  // masked fields check the text against their mask
    } else if (auto* cb = dynamic_cast<forms::ComboBox*>(&c)) {
        cb->SetText(text);
    } else {
        com::Raise(com::err::ObjectDoesNotSupport, "'" + key + "' hat keine Eigenschaft Text");
    }
}

std::string Describe(const Action& a) {
    switch (a.kind) {
        case K::Set: return "set " + a.control + "=" + a.text;
        case K::Text: return "text " + a.control + "=" + a.text;
        case K::Click: return "click " + a.control;
        case K::Select: return "select " + a.control + "=" + std::to_string(a.number);
        case K::Key: return "key " + a.control + "=" + a.text;
        case K::Choose: return "choose " + a.control;
        case K::Cursor: return "cursor " + std::to_string(a.number);
        case K::Ok: return "ok";
        case K::Cancel: return "cancel";
    }
    return "?";
}

}  // namespace

int Run(const RunOptions& o, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    if (!fs::is_regular_file(o.db, ec)) {
        err << "kado-host: Datenbankdatei nicht gefunden: " << o.db.string() << "\n";
        return 2;
    }
    if (!fs::is_regular_file(o.doc, ec)) {
        err << "kado-host: Dokument nicht gefunden: " << o.doc.string() << "\n";
        return 2;
    }
    for (size_t i = 0; i < o.actions.size(); ++i) {
        const auto k = o.actions[i].kind;
        if ((k == K::Ok || k == K::Cancel) && i + 1 != o.actions.size()) {
            err << "kado-host: nach \"" << Describe(o.actions[i]) << "\" ist der Dialog geschlossen; ok oder cancel "
                << "muss die letzte Aktion sein\n";
            return 2;
        }
    }

    std::shared_ptr<word::Document> doc;
    try {
        doc = word::Document::Open(o.doc);
    } catch (const com::Error& e) {
        err << "kado-host: Dokument lässt sich nicht lesen: " << o.doc.string() << " (" << e.Description() << ")\n";
        return 2;
    }
    auto ws = std::make_shared<dao::Workspace>();
    std::shared_ptr<dao::Database> db;
    try {
        db = ws->OpenDatabase(o.db.string());
    } catch (const com::Error& e) {
        err << "kado-host: Datenbank lässt sich nicht öffnen: " << o.db.string() << " (" << e.Description() << ")\n";
        return 2;
    }
    std::shared_ptr<dao::Recordset> rechnung;
    if (o.invoice) {
        rechnung = db->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(*o.invoice));
        if (rechnung->EOF_()) {
            err << "kado-host: Rechnung " << *o.invoice << " nicht gefunden\n";
            return 2;
        }
    }

    auto desktop = std::make_shared<forms::HeadlessDesktop>();
    forms::Driver driver(desktop);
    // Before Show: where the cursor stands, and the answers for the table choice.
    for (const auto& a : o.actions) {
        if (a.kind == K::Cursor) {
            const auto tables = doc->GetTables();
            if (a.number > tables.Count()) {
                err << "kado-host: cursor " << a.number << ": das Dokument hat " << tables.Count() << " Tabellen\n";
                return 2;
            }
            auto r = tables.Item(a.number).GetCell(1, 1).GetRange();
            r.Collapse(word::CollapseDirection::Start);
            r.Select();
        } else if (a.kind == K::Choose) {
            driver.ChooseNext(a.control, "cmdEnde");
        }
    }

    honora::RegisterCategoryDialogs();
    auto go = honora::CreateObject(honora::kProgIdGO);
    if (!go) {
        err << "kado-host: honora.GO lässt sich nicht erzeugen\n";
        return 1;
    }
    honora::Session().Desktop = desktop;
    go->LetDoc(Variant(com::ObjectPtr(doc)));
    go->LetID_Benutzer(Variant(static_cast<int32_t>(o.user)));
    go->LetDatenbankPfad(o.db.string());
    go->LetKadoWorkspace(Variant(com::ObjectPtr(ws)));
    go->LetNeueAbfrage(Variant(com::ObjectPtr(db)));

    const fs::path log = LogFile();
    const auto logBefore = LogSize(log);
    const std::string before = Fingerprint(*doc);
    go->Show(static_cast<int16_t>(o.category), rechnung, 0);
    auto form = desktop->LastModeless();
    if (!form || !form->Loaded()) {
        err << "kado-host: Show(" << o.category << ") hat keinen Dialog geöffnet\n";
        return 1;
    }
    out << "Dialog " << form->Name() << " \"" << form->Caption() << "\"\n";

    bool closed = false;
    for (const auto& a : o.actions) {
        try {
            switch (a.kind) {
                case K::Set: driver.Set(*form, a.control, a.text); break;
                case K::Text: AssignText(*form, a.control, a.text); break;
                case K::Click: driver.Click(*form, a.control); break;
                case K::Select: driver.Select(*form, a.control, a.number); break;
                case K::Key: driver.Key(*form, a.control, com::DecodeUtf8(a.text).front()); break;
                case K::Choose:
                case K::Cursor: break;
                case K::Ok:
                case K::Cancel:
                    PrintLabels(*form, out);
                    closed = true;
                    driver.Click(*form, a.kind == K::Ok ? ButtonOf(*form, {"CommandEnde", "cmdEnde"})
                                                        : ButtonOf(*form, {"CommandAbbruch", "cmdAbbruch"}));
                    break;
            }
        } catch (const com::Error& e) {
            err << "kado-host: " << Describe(a) << ": Fehler " << e.Number() << ": " << e.Description() << "\n";
            return 1;
        }
    }
    if (!closed) PrintLabels(*form, out);
    if (desktop->PendingAnswers() > 0)
        out << "Hinweis: " << desktop->PendingAnswers() << " choose-Antwort(en) nicht gebraucht\n";

    if (Fingerprint(*doc) != before) {
        const fs::path target = o.out.empty() ? o.doc : o.out;
        try {
            doc->SaveAs(target);
        } catch (const com::Error& e) {
            err << "kado-host: Speichern nach " << target.string() << " fehlgeschlagen: " << e.Description() << "\n";
            return 1;
        }
        out << "Rechnung gespeichert: " << target.string() << "\n";
    } else {
        out << "Dokument unverändert, nicht gespeichert\n";
    }
    if (o.invoice) {
        // What the component wrote back into the invoice record, in cents.
        auto rs = db->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(*o.invoice));
        if (!rs->EOF_())
            out << "Rechnung " << *o.invoice << ": NettoRechnung " << rs->Field("NettoRechnung").ToString()
                << ", Brutto " << rs->Field("Brutto").ToString() << ", MehrwertsteuerFreierbetrag "
                << rs->Field("MehrwertsteuerFreierbetrag").ToString() << " (Cent)\n";
    }
    // The host ends the component here: the lasting forms unload and store their placement.
    honora::UnloadLastingForms();
    const int logged = LogEntries(log, logBefore);
    if (logged > 0) out << "Verw.log: " << logged << " neue Einträge in " << log.string() << "\n";
    return 0;
}

}  // namespace kado::host
