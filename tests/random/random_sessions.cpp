#include "random/random_sessions.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>

#include "host/demo.h"
#include "host/session.h"
#include "platform/com/error.h"
#include "platform/forms/driver.h"
#include "platform/forms/forms.h"
#include "random/invoice_check.h"
#include "support/host_home.h"
#include "support/file_bytes.h"

namespace kado::random {
namespace {

namespace fs = std::filesystem;

// What a clerk may type: counts, shares at and beyond their limits, garbage.
const std::vector<std::string> kTyped = {"0", "1", "3", "12", "250", "9999", "", "12,5", "abc", "-3", "1.000",
                                         "ä€", "  7", "100000", "0,01", "99999999"};
const std::vector<std::string> kShares = {"0", "999,99", "1000,50", "9999,99", "1000,00", "500,00", "", "x"};
const std::vector<std::string> kWords = {"Flur 3, Flurstück 112", "Wohnhaus", "", "§ 7 ÄÖÜ", std::string(300, 'x')};

class Generator {
public:
    Generator(const Options& o, std::ostream& progress) : o_(o), progress_(progress), rng_(o.seed) {}

    Stats Run() {
        for (int n = 0; n < o_.sessions; ++n) {
            if (n % o_.sessionsPerInvoice == 0) FreshInvoice(n / o_.sessionsPerInvoice);
            session_ = n;
            try {
                Session();
            } catch (const std::exception& e) {
                Fail(std::string("escaped: ") + e.what());
            }
            ++stats_.sessions;
            if ((n + 1) % 500 == 0) progress_ << (n + 1) << " sessions, " << stats_.failures.size() << " failures\n";
        }
        return stats_;
    }

private:
    template <class T>
    const T& Pick(const std::vector<T>& v) { return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng_)]; }
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    void Fail(const std::string& what) {
        stats_.failures.push_back("session " + std::to_string(session_) + " (seed " + std::to_string(o_.seed) + "): " + what);
    }

    void FreshInvoice(int k) {
        dir_ = o_.dir / ("rechnung-" + std::to_string(k));
        if (kado::testing::QuietInit(dir_) != 0) throw std::runtime_error("demo data not written in " + dir_.string());
    }

    // One user session: the dialog of a random category, maybe on an earlier
    // table, random inputs, then OK or Abbruch; the invoice checked afterwards.
    void Session() {
        const fs::path doc = dir_ / "Rechnung.docx", db = dir_ / "kado.sqlite";
        const std::string before = kado::testing::FileBytes(doc);
        const Record recordBefore = ReadRecord(db, 1);
        InvoiceFigures figuresBefore;
        (void)CheckInvoice(doc, recordBefore, 19, figuresBefore);

        auto desktop = std::make_shared<forms::HeadlessDesktop>();
        forms::Driver driver(desktop);
        host::HostSession s(desktop);
        if (auto problem = s.Open(db, doc, 1)) return Fail("open: " + problem->message);
        const int category = Below(5);
        // Reopen an earlier table now and then, half of those confirmed untouched.
        const bool reopen = figuresBefore.feeTables > 0 && Chance(0.3);
        const bool untouched = reopen && Chance(0.5);
        int chosen = -1;
        desktop->QueueAnswer([&](forms::Form& f) {
            std::vector<std::string> open;
            for (auto* c : f.Controls())
                if (dynamic_cast<forms::OptionButton*>(c) && c->Enabled() && c->Visible() && c->Key() != "optNeu")
                    open.push_back(c->Key());
            const std::string key = reopen && !open.empty() ? Pick(open) : "optNeu";
            if (key != "optNeu") chosen = 1;
            driver.Click(f, key);
            driver.Click(f, "cmdEnde");
        });
        s.Show(static_cast<int16_t>(category), s.Invoice(1));
        auto form = desktop->LastModeless();
        if (!form || !form->Loaded()) return Fail("Show(" + std::to_string(category) + ") opened no dialog");
        if (chosen > 0) ++stats_.reopened;

        const int steps = untouched ? 0 : Below(14);
        for (int i = 0; i < steps; ++i) Act(driver, *form);
        const bool ok = !Chance(0.15);
        std::string labels;
        if (!o_.keep.empty())
            for (auto* c : form->Controls())
                if (auto* l = dynamic_cast<forms::Label*>(c)) labels += c->Key() + "=" + l->Caption() + "\n";
        const std::string button = ok ? (form->Name() == "frmKat5" || HasKey(*form, "CommandEnde") ? "CommandEnde" : "cmdEnde")
                                      : (HasKey(*form, "CommandAbbruch") ? "CommandAbbruch" : "cmdAbbruch");
        driver.Click(*form, button);
        form.reset();
        if (ok && s.DocumentChanged()) {
            if (auto problem = s.Confirm(doc, 1)) return Fail("save: " + problem->message);
        }
        s.End();

        const Record record = ReadRecord(db, 1);
        if (!ok) {
            ++stats_.cancels;
            if (kado::testing::FileBytes(doc) != before) Fail("cancel changed the invoice");
            if (!(record == recordBefore)) Fail("cancel changed the record");
            return;
        }
        ++stats_.confirmations;
        if (!o_.keep.empty()) Keep(doc, record, labels);
        InvoiceFigures figures;
        for (const auto& p : CheckInvoice(doc, record, 19, figures)) Fail(p);
        stats_.maxTables = std::max(stats_.maxTables, figures.feeTables);
        if (untouched && chosen > 0) {
            ++stats_.unchangedReopens;
            if (figures.feeColumns != figuresBefore.feeColumns || !(record == recordBefore))
                Fail("a reopened table confirmed unchanged changed the fees or the record");
        }
    }

    void Keep(const fs::path& doc, const Record& record, const std::string& labels) {
        char stem[16];
        std::snprintf(stem, sizeof stem, "%05d", session_);
        fs::create_directories(o_.keep);
        fs::copy_file(doc, o_.keep / (std::string(stem) + ".docx"), fs::copy_options::overwrite_existing);
        std::ofstream(o_.keep / (std::string(stem) + ".record")) << record.net << " " << record.gross << "\n";
        std::ofstream(o_.keep / (std::string(stem) + ".labels"), std::ios::binary) << labels;
    }

    static bool HasKey(forms::Form& form, const std::string& key) {
        for (auto* c : form.Controls())
            if (c->Key() == key) return true;
        return false;
    }

    // One random input on a control the user can reach now.
    void Act(forms::Driver& driver, forms::Form& form) {
        std::vector<forms::Control*> reachable;
        for (auto* c : form.Controls())
            if (c->Enabled() && c->Visible() && c->Focusable() && !dynamic_cast<forms::CommandButton*>(c))
                reachable.push_back(c);
        if (reachable.empty()) return;
        auto* c = Pick(reachable);
        if (auto* combo = dynamic_cast<forms::ComboBox*>(c)) {
            if (!combo->List().empty()) driver.Select(form, c->Key(), Below(static_cast<int>(combo->List().size())));
        } else if (dynamic_cast<forms::MaskEdBox*>(c)) {
            driver.Set(form, c->Key(), c->Name() == "mskBezug" ? Pick(kShares) : Pick(kTyped));
        } else if (dynamic_cast<forms::TextBox*>(c)) {
            driver.Set(form, c->Key(), Pick(kWords));
        } else {
            driver.Click(form, c->Key());
        }
    }

    const Options& o_;
    std::ostream& progress_;
    std::mt19937_64 rng_;
    Stats stats_;
    fs::path dir_;
    int session_ = 0;
};

}  // namespace

Stats RunSessions(const Options& options, std::ostream& progress) { return Generator(options, progress).Run(); }

}  // namespace kado::random
