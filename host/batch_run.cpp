#include "host/batch_run.h"

#include <memory>
#include <string>

#include "host/invoice_figures.h"
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

// The options the table-choice dialog has.
bool TableChoiceOption(const std::string& key) {
    if (key == "optNeu" || key == "optAktTabelle") return true;
    for (int i = 0; i < 5; ++i)
        if (key == "optTabelle(" + std::to_string(i) + ")") return true;
    return false;
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
    BatchRun(const RunOptions& o, std::ostream& out, std::ostream& err) : o_(o), out_(out), err_(err) {
        confirmed_ = !o_.actions.empty() && o_.actions.back().kind == K::Ok;
    }

    // Refuses missing files, actions after the dialog closed, unknown table choices and,
    // when the run confirms, targets it could not write, before anything is opened.
    std::optional<Problem> Validate() {
        if (auto missing = HostSession::Missing(o_.db, o_.doc)) return missing;
        for (size_t i = 0; i < o_.actions.size(); ++i) {
            const auto& a = o_.actions[i];
            if ((a.kind == K::Ok || a.kind == K::Cancel) && i + 1 < o_.actions.size())
                return Problem{"nach \"" + Describe(a) +
                                   "\" ist der Dialog geschlossen; ok oder cancel muss die letzte Aktion sein",
                               true, {}};
            if (a.kind == K::Choose && !TableChoiceOption(a.control))
                return Problem{Describe(a) + ": die Tabellenwahl hat keine Option " + a.control +
                                   " (optNeu, optTabelle(0) ... optTabelle(4), optAktTabelle)",
                               true, {}};
        }
        // Saving in place: the document itself is opened as one, or refused then.
        if (!o_.out.empty())
            if (auto refused = HostSession::NotADocument(o_.db, Target())) return refused;
        if (confirmed_) return HostSession::Unwritable(o_.db, Target());
        return std::nullopt;
    }

    std::optional<Problem> Open() {
        if (auto problem = session_.Open(o_.db, o_.doc, o_.user)) return problem;
        // A save a kill interrupted is finished or undone before this run starts its own.
        std::vector<fs::path> files{Target()};
        if (o_.doc != Target()) files.push_back(o_.doc);
        for (const auto& file : files)
            for (const auto& line : session_.RecoverSaves(file)) err_ << "kado-host: " << line << "\n";
        if (o_.invoice) {
            invoiceRecord_ = session_.Invoice(*o_.invoice);
            if (!invoiceRecord_) return Problem{"Rechnung " + std::to_string(*o_.invoice) + " nicht gefunden", true, {}};
            figuresBefore_ = Figures();
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
                chooses_.push_back(a.control);
            }
        }
        // One answer per choose and one for a dialog asked without: each takes the next choose.
        for (size_t i = 0; i <= chooses_.size(); ++i) desktop_->QueueAnswer([this](forms::Form& f) { Answer(f); });
        return std::nullopt;
    }

    std::optional<Problem> ShowDialog() {
        session_.Show(static_cast<int16_t>(o_.category), invoiceRecord_);
        shown_ = true;
        if (answerProblem_) return answerProblem_;
        form_ = desktop_->LastModeless();
        if (!form_ || !form_->Loaded())
            return Problem{"Show(" + std::to_string(o_.category) + ") hat keinen Dialog geöffnet", false, {}};
        out_ << "Dialog " << form_->Name() << " \"" << form_->Caption() << "\"\n";
        for (size_t i = chosen_; i < chooses_.size(); ++i)
            if (auto problem = Warn("choose " + chooses_[i] + ": keine Tabellenwahl gefragt, nicht gebraucht"))
                return problem;
        return std::nullopt;
    }

    // The user's actions; the labels are printed before the dialog closes.
    std::optional<Problem> Play() {
        bool closed = false;
        for (const auto& a : o_.actions) {
            try {
                if (a.kind == K::Set) {
                    if (auto problem = SetWatched(a)) return problem;
                } else {
                    closed = Act(a) || closed;
                }
            } catch (const com::Error& e) {
                return Problem{Describe(a) + ": " + Quote(e), false, e};
            }
        }
        if (!closed) PrintLabels(*form_, out_);
        return std::nullopt;
    }

    // Saves only what a confirmed dialog wrote, and the record with it.
    std::optional<Problem> Save() {
        if (!confirmed_) {
            session_.Discard();
            out_ << (o_.actions.empty() || o_.actions.back().kind != K::Cancel ? "ohne ok" : "cancel")
                 << ": Dokument unverändert, nicht gespeichert\n";
            return std::nullopt;
        }
        if (refusal_) {
            // The dialog refused the OK and stayed open: nothing was confirmed.
            session_.Discard();
            return Problem{"ok abgelehnt, Dokument und Rechnungsdatensatz unverändert, nichts gespeichert: " + *refusal_,
                           true, {}};
        }
        if (!session_.DocumentChanged()) {
            // The record written to what the unchanged document shows: entered after the same checks.
            if (o_.invoice && Figures() != figuresBefore_) {
                committed_ = Figures();
                if (auto problem = session_.Confirm(Target(), o_.invoice)) return problem;
                saved_ = true;
                out_ << "Dokument unverändert, Rechnung " << *o_.invoice << " eingetragen: " << Target().string() << "\n";
                return std::nullopt;
            }
            session_.Discard();
            out_ << "Dokument unverändert, nicht gespeichert\n";
            return std::nullopt;
        }
        // Read inside the held transaction: what the commit enters, whatever other runs do after it.
        // A record that cannot be read here is Confirm's to report, with what it means.
        try {
            if (o_.invoice) committed_ = Figures();
        } catch (const com::Error&) {
            committed_.clear();
        }
        if (auto problem = session_.Confirm(Target(), o_.invoice)) return problem;
        saved_ = true;
        out_ << "Rechnung gespeichert: " << Target().string() << "\n";
        return std::nullopt;
    }

    // What the component wrote back into the invoice record (in cents); without ok, that it wrote nothing.
    void Report() {
        if (o_.invoice) {
            const std::string now = confirmed_ && !committed_.empty() ? committed_ : Figures();
            if (confirmed_) {
                out_ << "Rechnung " << *o_.invoice << ": " << now << "\n";
            } else if (now == figuresBefore_) {
                out_ << "Rechnung " << *o_.invoice << " unverändert, nichts geschrieben\n";
            } else {
                err_ << "kado-host: Warnung: Rechnung " << *o_.invoice << " ohne ok geändert: " << now << "\n";
            }
        } else if (!confirmed_) {
            out_ << "nichts geschrieben\n";
        }
        form_.reset();  // the dialog goes with the component
        session_.End();
    }

    // A platform error that ended the run: what record and document hold then.
    Problem Broken(const com::Error& e) {
        if (!confirmed_) return Problem{Quote(e), false, e};
        if (saved_)
            return Problem{Quote(e) + " nach dem Speichern; Rechnungsdatensatz und Dokument " + Target().string() +
                               " zeigen beide die neue Rechnung",
                           false, e};
        session_.Discard();
        return Problem{Quote(e) + "; nichts gespeichert: Rechnungsdatensatz und Dokument " + Target().string() +
                           " sind beide wie vor dem Lauf",
                       false, e};
    }

    // What the run's own steps logged to Verw.log, on standard error.
    void LogSummary() {
        if (!shown_) return;
        if (const int logged = session_.Logged(); logged > 0)
            err_ << "kado-host: Verw.log: " << logged << " neue Einträge in " << session_.LogFile().string()
                 << ", der erste: " << session_.FirstLogged() << "\n";
    }

private:
    fs::path Target() const { return o_.out.empty() ? o_.doc : o_.out; }

    std::string Figures() const {
        auto rs = session_.Invoice(*o_.invoice);
        return rs ? CentFigures(*rs) : "-";
    }

    // A warning on standard error; under --strict the problem that ends the run.
    std::optional<Problem> Warn(const std::string& text) {
        err_ << "kado-host: Warnung: " << text << "\n";
        if (o_.strict) return Problem{"--strict: Warnung als Fehler, nichts geschrieben", true, {}};
        return std::nullopt;
    }

    // The table-choice dialog asks: the next choose answers it, checked first as a user
    // sees it; without one it is closed, as a user closing it would.
    void Answer(forms::Form& form) {
        if (form.Name() == "G_frmHinweis") {
            refusal_ = form.Get<forms::Label>("lblHinweis").Caption();
            form.Hide();
            return;
        }
        if (form.Name() != "G_frmTabelle") return;
        if (chosen_ >= chooses_.size()) {
            out_ << "Tabellenwahl gefragt, kein choose: geschlossen wie vom Benutzer (neuer Abrechnungspunkt)\n";
            form.Close();
            return;
        }
        const std::string key = chooses_[chosen_++];
        auto* option = dynamic_cast<forms::OptionButton*>(&form.ItemByKey(key));
        if (!option || !option->Enabled() || !option->Visible()) {
            // Closed without an answer; the run ends after Show, before OK and any save.
            answerProblem_ =
                Problem{"choose " + key + ": die Option ist in der Tabellenwahl gesperrt (" + Enabled(form) + ")", true, {}};
            form.Close();
            return;
        }
        out_ << "Tabellenwahl gefragt: beantwortet mit " << key << " \"" << option->Caption() << "\"\n";
        driver_.Click(form, key);
        driver_.Click(form, "cmdEnde");
    }

    static std::string Enabled(forms::Form& form) {
        std::string list;
        for (auto* c : form.Controls())
            if (dynamic_cast<forms::OptionButton*>(c) && c->Enabled() && c->Visible())
                list += (list.empty() ? "wählbar: " : ", ") + c->Key();
        return list.empty() ? "keine wählbar" : list;
    }

    // set, key by key, with a warning for each key the field refused and for text cut off at its end.
    std::optional<Problem> SetWatched(const Action& a) {
        auto* box = dynamic_cast<forms::TextBox*>(&form_->ItemByKey(a.control));
        if (!box) {
            driver_.Set(*form_, a.control, a.text);
            return std::nullopt;
        }
        driver_.Focus(*form_, a.control);
        const std::u32string chars = com::DecodeUtf8(a.text);
        for (size_t i = 0; i < chars.size(); ++i) {
            const std::string before = box->Text();
            const int at = box->SelStart(), length = box->SelLength();
            driver_.Type(*form_, a.control, com::EncodeUtf8(std::u32string(1, chars[i])));
            if (box->Text() != before || box->SelStart() != at || box->SelLength() != length) continue;
            const std::string where = "set " + a.control + ": ";
            if (at >= com::CodePoints(before)) {
                if (auto problem = Warn(where + "Text ab Zeichen " + std::to_string(i + 1) + " \"" +
                                        Excerpt(com::EncodeUtf8(chars.substr(i))) + "\" am Feldende abgeschnitten"))
                    return problem;
                for (size_t j = i + 1; j < chars.size(); ++j)
                    driver_.Type(*form_, a.control, com::EncodeUtf8(std::u32string(1, chars[j])));
                break;
            }
            if (auto problem = Warn(where + "Taste '" + com::EncodeUtf8(std::u32string(1, chars[i])) +
                                    "' (Zeichen " + std::to_string(i + 1) + ") abgewiesen"))
                return problem;
        }
        driver_.Leave(*form_);
        return std::nullopt;
    }

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
                if (a.kind == K::Ok) {
                    session_.MarkConfirmation();
                    // A refusal after OK comes as a modal hint; it must reach the caller, not a default.
                    desktop_->QueueAnswer([this](forms::Form& f) { Answer(f); });
                }
                driver_.Click(form, a.kind == K::Ok ? ButtonOf(form, {"CommandEnde", "cmdEnde"})
                                                    : ButtonOf(form, {"CommandAbbruch", "cmdAbbruch"}));
                return true;
        }
        return false;
    }

    const RunOptions& o_;
    std::ostream& out_;
    std::ostream& err_;
    bool confirmed_ = false;
    std::optional<std::string> refusal_;  // the hint with which the dialog refused OK
    bool shown_ = false;
    std::vector<std::string> chooses_;
    size_t chosen_ = 0;
    std::optional<Problem> answerProblem_;
    std::string figuresBefore_;
    std::string committed_;  // the record as this run's commit entered it
    bool saved_ = false;     // record and document both entered
    std::shared_ptr<forms::HeadlessDesktop> desktop_ = std::make_shared<forms::HeadlessDesktop>();
    forms::Driver driver_{desktop_};
    HostSession session_{desktop_};
    std::shared_ptr<dao::Recordset> invoiceRecord_;
    std::shared_ptr<forms::Form> form_;
};

}  // namespace

int Run(const RunOptions& o, std::ostream& out, std::ostream& err) {
    BatchRun run(o, out, err);
    try {
        for (auto step : {&BatchRun::Validate, &BatchRun::Open, &BatchRun::Prepare, &BatchRun::ShowDialog,
                          &BatchRun::Play, &BatchRun::Save}) {
            if (auto problem = (run.*step)()) {
                run.LogSummary();
                return Fail(*problem, err);
            }
        }
        run.Report();
    } catch (const com::Error& e) {
        run.LogSummary();
        return Fail(run.Broken(e), err);
    }
    run.LogSummary();
    return 0;
}

}  // namespace kado::host
