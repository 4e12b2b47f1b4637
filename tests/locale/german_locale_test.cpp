// Number text under a German desktop locale, as a Qt host sets it with
// setlocale(LC_ALL, ""): the finished invoice, its record, query literals and
// the payment term's days are the same as in the C locale.
#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/batch_run.h"
#include "host/demo.h"
#include "support/built_plugin.h"
#include "platform/com/variant.h"
#include "platform/dao/dao.h"
#include "platform/word/word.h"
#include "plugin/invoice/invoice_writeback.h"
#include "plugin/invoice/payment_term.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using kado::com::Date;
using kado::com::Variant;

constexpr const char* kGerman = "de_DE.UTF-8";
constexpr const char* kNoGerman = "de_DE.UTF-8 is not installed (setup.sh generates it): nothing was checked";

// What one confirmed run leaves: the host's output, the saved file, its
// text with the payment term's box, and the record in cents.
struct Finished {
    std::string output, docx, text;
    double net = 0, gross = 0, vatFreeAmount = 0;
};

class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_ / "config");
        ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
        kado::testing::RegisterBuiltPlugin();
    }
    // Other tests of this program start in the C locale again.
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
        fs::remove_all(dir_);
    }
    static bool German() {
        if (!std::setlocale(LC_ALL, kGerman)) return false;
        std::locale::global(std::locale(kGerman));
        char buf[8];
        std::snprintf(buf, sizeof buf, "%.1f", 1.5);
        return std::string(buf) == "1,5";
    }

    // The demo job, with the given payment-term template, confirmed in frmKat5
    // with the user's inputs, in a folder of its own.
    Finished Confirm(const std::string& folder, const std::string& templateText, const std::vector<std::string>& inputs) {
        const fs::path d = dir_ / folder;
        EXPECT_EQ(kado::host::Init(d), 0);
        auto ws = std::make_shared<kado::dao::Workspace>();
        ws->OpenDatabase((d / "kado.sqlite").string())->Execute("UPDATE Version SET Zahlungsziel = '" + templateText + "'");
        kado::host::RunOptions o;
        o.db = d / "kado.sqlite";
        o.doc = d / "Rechnung.docx";
        o.out = d / "fertig.docx";
        o.invoice = 1;
        for (const std::string& text : inputs) {
            std::string error;
            auto a = kado::host::ParseAction(text, error);
            EXPECT_TRUE(a) << error;
            if (a) o.actions.push_back(*a);
        }
        std::ostringstream out, err;
        EXPECT_EQ(kado::host::Run(o, out, err), 0) << err.str();
        Finished f;
        // The folder name differs between runs; the rest of the output must not.
        f.output = out.str();
        for (size_t at; (at = f.output.find(d.string())) != std::string::npos;)
            f.output.replace(at, d.string().size(), "DIR");
        std::ifstream in(o.out, std::ios::binary);
        f.docx.assign(std::istreambuf_iterator<char>(in), {});
        auto doc = kado::word::Document::FromBytes(f.docx);
        f.text = doc->Content().Text();
        for (int i = 1; i <= doc->GetShapes().Count(); ++i)
            f.text += doc->GetShapes().Item(i).GetTextFrame().TextRange().Text();
        auto rs = ws->OpenDatabase(o.db.string())->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = 1");
        f.net = rs->Field("NettoRechnung").ToDouble();
        f.gross = rs->Field("Brutto").ToDouble();
        f.vatFreeAmount = rs->Field("MehrwertsteuerFreierbetrag").ToDouble();
        return f;
    }

    kado::testing::TempDir tmp_{"kado-locale"};
    const fs::path dir_ = tmp_.Path();
};

TEST_F(GermanLocale, TheConfirmedInvoiceAndItsRecordAreTheSameAsInTheCLocale) {
    const struct Case {
        const char* name;
        std::vector<std::string> inputs;
        const char* templateText;  // payment-term template
        double days;
        double net, gross;  // cents; nothing is VAT-free
        std::vector<std::string> texts;  // in the host's output or the document
    } cases[] = {
        {"12 points, 3 marked, 250 €/m²", {"set mskAGPo=12", "set mskAGP=3", "set mskBoden=250", "ok"},
         "Zahlbar bis <14> ohne Abzug.", 14, 150000, 178500,
         {"lblFaktor=2,25\n", "lblSumme=1500,00\n", "480,00 €", "1500,00 €", "285,00 €", "1785,00 €"}},
        {"a share of 333,5, half a day to pay", {"set mskAGPo=7", "set mskBoden=150", "set mskBezug=333,50", "ok"},
         "Zahlbar bis <1.5> ohne Abzug.", 1.5, 26013, 30955,
         {"lblSumme=780,00\n", "260,13 €", "49,42 €", "309,55 €"}},
    };
    std::vector<Finished> inC;
    for (const Case& c : cases) inC.push_back(Confirm("c" + std::to_string(inC.size()), c.templateText, c.inputs));
    if (!German()) GTEST_SKIP() << kNoGerman;
    for (size_t i = 0; i < inC.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const Finished de = Confirm("de" + std::to_string(i), c.templateText, c.inputs);
        const std::string due =
            "Zahlbar bis  " + Variant(Date{Date::Today().serial + c.days}).ToString() + "  ohne Abzug.";
        for (const Finished* f : {&std::as_const(inC[i]), &de}) {
            EXPECT_EQ(f->net, c.net);
            EXPECT_EQ(f->gross, c.gross);
            EXPECT_EQ(f->vatFreeAmount, 0);
            for (const std::string& t : c.texts) EXPECT_NE((f->output + f->text).find(t), std::string::npos) << t;
            EXPECT_NE(f->text.find(due), std::string::npos) << due;
        }
        EXPECT_EQ(de.output, inC[i].output);
        EXPECT_TRUE(de.docx == inC[i].docx) << "the saved invoice differs from the C locale's";
    }
}

TEST_F(GermanLocale, QueryLiteralsCentsAndDueDaysReadAsInTheCLocale) {
    if (!German()) GTEST_SKIP() << kNoGerman;
    const struct {
        Variant value;
        const char* literal;
    } literals[] = {{Variant(1.5), "1.5"}, {Variant(-0.25), "-0.25"}, {Variant(0.1 + 0.2), "0.3"},
                    {Variant(1234567.125), "1234567.125"}, {Variant(1e20), "1e+20"}, {Variant(2.5e-7), "2.5e-07"},
                    {Variant(1.5f), "1.5"}};
    for (const auto& l : literals) EXPECT_EQ(kado::dao::SqlNumber(l.value), l.literal) << l.literal;

    const struct {
        double euro, cent;
    } cents[] = {{1.005, 101}, {178.5, 17850}, {-2.675, -268}, {0.125, 13}, {1234567.895, 123456790}};
    for (const auto& c : cents) EXPECT_EQ(honora::Cent(c.euro), c.cent) << c.euro;

    const struct {
        const char* templateText;
        double days;
    } terms[] = {{"Zahlbar bis <14> ohne Abzug.", 14}, {"Zahlbar bis <1.5> ohne Abzug.", 1.5},
                 {"bis <+.5>", 0.5}, {"bis <-2.>", -2}, {"bis <7.25>", 7.2}};
    for (const auto& t : terms) EXPECT_EQ(honora::ReadTermTemplate(t.templateText).days, t.days) << t.templateText;
}

}  // namespace
