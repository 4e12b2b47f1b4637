#include "host/batch_run.h"

#include <memory>
#include <string>

#include "host/session.h"
#include "platform/com/error.h"
#include "platform/com/utf8.h"
#include "platform/forms/driver.h"
#include "platform/forms/forms.h"
#include "platform/word/word.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;
using K = Action::Kind;

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

// One run, step by step; each step either goes on or names the problem.
class BatchRun {
public:
    BatchRun(const RunOptions& o, std::ostream& out) : o_(o), out_(out) {}

    // Refuses missing files and actions after the dialog closed, before anything is opened.
    std::optional<Problem> Validate() {
        if (auto missing = HostSession::Missing(o_.db, o_.doc)) return missing;
        for (size_t i = 0; i + 1 < o_.actions.size(); ++i) {
            const auto k = o_.actions[i].kind;
            if (k == K::Ok || k == K::Cancel)
                return Problem{"nach \"" + Describe(o_.actions[i]) +
                                   "\" ist der Dialog geschlossen; ok oder cancel muss die letzte Aktion sein",
                               true, {}};
        }
        return std::nullopt;
    }

    std::optional<Problem> Open() {
        if (auto problem = session_.Open(o_.db, o_.doc, o_.user)) return problem;
        if (o_.invoice) {
            rechnung_ = session_.Invoice(*o_.invoice);
            if (!rechnung_) return Problem{"Rechnung " + std::to_string(*o_.invoice) + " nicht gefunden", true, {}};
        }
        return std::nullopt;
    }

    // Before Show: where the cursor stands, and the answers for the table choice.
    std::optional<Problem> Prepare() {
        for (const auto& a : o_.actions) {
            if (a.kind == K::Cursor) {
                const auto tables = session_.Document().GetTables();
                if (a.number > tables.Count())
                    return Problem{"cursor " + std::to_string(a.number) + ": das Dokument hat " +
                                       std::to_string(tables.Count()) + " Tabellen",
                                   true, {}};
                auto r = tables.Item(a.number).GetCell(1, 1).GetRange();
                r.Collapse(word::CollapseDirection::Start);
                r.Select();
            } else if (a.kind == K::Choose) {
                driver_.ChooseNext(a.control, "cmdEnde");
            }
        }
        return std::nullopt;
    }

    std::optional<Problem> ShowDialog() {
        session_.Show(static_cast<int16_t>(o_.category), rechnung_);
        form_ = desktop_->LastModeless();
        if (!form_ || !form_->Loaded())
            return Problem{"Show(" + std::to_string(o_.category) + ") hat keinen Dialog geöffnet", false, {}};
        out_ << "Dialog " << form_->Name() << " \"" << form_->Caption() << "\"\n";
        return std::nullopt;
    }

    // The user's actions; the labels are printed before the dialog closes.
    std::optional<Problem> Play() {
        bool closed = false;
        for (const auto& a : o_.actions) {
            try {
                closed = Act(a) || closed;
            } catch (const com::Error& e) {
                return Problem{Describe(a) + ": Fehler " + std::to_string(e.Number()) + ": " + e.Description(), false,
                               e};
            }
        }
        if (!closed) PrintLabels(*form_, out_);
        if (desktop_->PendingAnswers() > 0)
            out_ << "Hinweis: " << desktop_->PendingAnswers() << " choose-Antwort(en) nicht gebraucht\n";
        return std::nullopt;
    }

    // Saves only what the dialog wrote.
    std::optional<Problem> Save() {
        if (!session_.DocumentChanged()) {
            out_ << "Dokument unverändert, nicht gespeichert\n";
            return std::nullopt;
        }
        const fs::path target = o_.out.empty() ? o_.doc : o_.out;
        if (auto problem = session_.Save(target)) return problem;
        out_ << "Rechnung gespeichert: " << target.string() << "\n";
        return std::nullopt;
    }

    // What the component wrote back into the invoice record (in cents) and what it logged.
    void Report() {
        if (o_.invoice) {
            if (auto rs = session_.Invoice(*o_.invoice))
                out_ << "Rechnung " << *o_.invoice << ": NettoRechnung " << rs->Field("NettoRechnung").ToString()
                     << ", Brutto " << rs->Field("Brutto").ToString() << ", MehrwertsteuerFreierbetrag "
                     << rs->Field("MehrwertsteuerFreierbetrag").ToString() << " (Cent)\n";
        }
        session_.End();
        if (const int logged = session_.Logged(); logged > 0)
            out_ << "Verw.log: " << logged << " neue Einträge in " << session_.LogFile().string() << "\n";
    }

private:
    // Plays one action; true when it closed the dialog.
    bool Act(const Action& a) {
        auto& form = *form_;
        switch (a.kind) {
            case K::Set: driver_.Set(form, a.control, a.text); break;
            case K::Text: AssignText(form, a.control, a.text); break;
            case K::Click: driver_.Click(form, a.control); break;
            case K::Select: driver_.Select(form, a.control, a.number); break;
            case K::Key: driver_.Key(form, a.control, com::DecodeUtf8(a.text).front()); break;
            case K::Choose:
            case K::Cursor: break;
            case K::Ok:
            case K::Cancel:
                PrintLabels(form, out_);
                driver_.Click(form, a.kind == K::Ok ? ButtonOf(form, {"CommandEnde", "cmdEnde"})
                                                    : ButtonOf(form, {"CommandAbbruch", "cmdAbbruch"}));
                return true;
        }
        return false;
    }

    const RunOptions& o_;
    std::ostream& out_;
    std::shared_ptr<forms::HeadlessDesktop> desktop_ = std::make_shared<forms::HeadlessDesktop>();
    forms::Driver driver_{desktop_};
    HostSession session_{desktop_};
    std::shared_ptr<dao::Recordset> rechnung_;
    std::shared_ptr<forms::Form> form_;
};

}  // namespace

int Run(const RunOptions& o, std::ostream& out, std::ostream& err) {
    BatchRun run(o, out);
    for (auto step : {&BatchRun::Validate, &BatchRun::Open, &BatchRun::Prepare, &BatchRun::ShowDialog, &BatchRun::Play,
                      &BatchRun::Save}) {
        if (auto problem = (run.*step)()) return Fail(*problem, err);
    }
    run.Report();
    return 0;
}

}  // namespace kado::host
