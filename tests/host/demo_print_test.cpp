// The demo invoice as it prints: kado-host init and run as whole processes,
// LibreOffice's PDF of the result, its word boxes checked and its pages kept as PNG.
#include <gtest/gtest.h>

#include <iostream>
#include <regex>
#include <string>
#include <vector>

#include "host/demo.h"
#include "platform/word/lo_support.h"
#include "print_support.h"
#include "support/temp_dir.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;
using word::test::LoConvert;
using word::test::ReadAll;
using namespace test;

const fs::path kPictures = fs::path(KADO_BINARY_DIR) / "Testing" / "demo-invoice";
constexpr double kPointsPerCm = 72.0 / 2.54;
constexpr double kTolerance = 1.0;  // points; LibreOffice's boxes round to its layout units

struct PrintCase {
    const char* name;
    std::vector<int> boundaryPoints;  // one confirmation (one fee table) per entry
    const char* total;                // the invoice amount as the totals table shows it
};

void PrintTo(const PrintCase& c, std::ostream* os) { *os << c.name; }

class DemoPrintTest : public ::testing::TestWithParam<PrintCase> {};

TEST_P(DemoPrintTest, StaysInsideTheMarginsWithNoAmountWrapped) {
    if (const auto tool = MissingPrintTool(); !tool.empty())
        GTEST_SKIP() << tool << " is missing (setup.sh installs it): the printed invoice is not checked";
    const PrintCase& c = GetParam();
    const kado::testing::TempDir tmp(std::string("kado-demo-print-") + c.name);
    const fs::path& dir = tmp.Path();
    std::vector<Job> jobs;
    for (int points : c.boundaryPoints)
        jobs.push_back({0, {"set mskAGPo=" + std::to_string(points), "set mskAGP=3", "set mskBoden=250"}});
    std::string error;
    const fs::path doc = MakeInvoice(dir, c.name, jobs, error);
    ASSERT_FALSE(doc.empty()) << error;

    const fs::path pdf = LoConvert(doc, "pdf", dir);
    ASSERT_FALSE(pdf.empty()) << ReadAll(dir / "soffice.log");
    const auto pictures = KeepPages(pdf, kPictures, c.name, dir / "ppm.log");
    ASSERT_FALSE(pictures.empty()) << ReadAll(dir / "ppm.log");
    for (const auto& png : pictures) std::cout << "demo invoice page: " << png.string() << "\n";
    ASSERT_EQ(Sh("pdftotext -bbox-layout " + Quote(pdf.string()) + " " + Quote((dir / "boxes.html").string()), dir / "txt.log"), 0);
    const auto pages = WordBoxes(ReadAll(dir / "boxes.html"));
    ASSERT_FALSE(pages.empty());

    static const std::regex amount(R"(-?[0-9]+,[0-9]{2})");
    int headings = 0, itemNumbers = 0;
    bool totalSeen = false, leadInFirst = false;
    for (const auto& page : pages) {
        const double left = kLeftMarginCm * kPointsPerCm, right = page.width - kRightMarginCm * kPointsPerCm;
        for (size_t i = 0; i < page.words.size(); ++i) {
            const Word& w = page.words[i];
            EXPECT_GE(w.xMin, left - kTolerance) << "\"" << w.text << "\" starts left of the margin";
            EXPECT_LE(w.xMax, right + kTolerance) << "\"" << w.text << "\" stands past the right margin by "
                                                  << w.xMax - right << " pt";
            // An amount's "€" follows its number on the same line.
            if (w.text == "€") {
                ASSERT_GT(i, 0u);
                const Word& number = page.words[i - 1];
                EXPECT_TRUE(std::regex_match(number.text, amount)) << "\"€\" after \"" << number.text << "\"";
                EXPECT_NEAR(number.yMin, w.yMin, 0.5) << "\"€\" of " << number.text << " wrapped";
            }
            EXPECT_NE(w.text, "30.22.") << "an item number wrapped in its column";
            if (w.text == "30.22.1") ++itemNumbers;
            if (w.text == "Gebührenordnung:" && headings == 0) leadInFirst = true;
            if (w.text == "30.6.1.1") {
                EXPECT_FALSE(totalSeen) << "a fee table after the totals";
                ++headings;
            }
            if (w.text == c.total && i > 0 && page.words[i - 1].text == "Rechnungsbetrag:") totalSeen = true;
            EXPECT_NE(w.text, "Zusammenstellung");
        }
    }
    const int tables = static_cast<int>(c.boundaryPoints.size());
    EXPECT_EQ(headings, tables) << "fee table headings";
    EXPECT_EQ(itemNumbers, tables) << "\"30.22.1\" whole, once per table";
    EXPECT_TRUE(leadInFirst) << "the lead-in stands above the first fee table";
    EXPECT_TRUE(totalSeen) << "\"Rechnungsbetrag: " << c.total << "\" after the fee tables";
}

// Factor 2.25 at land value 250: (points * 40 + 120) * 2.25 + 150, plus 19 % VAT.
INSTANTIATE_TEST_SUITE_P(Tables, DemoPrintTest,
                         ::testing::Values(PrintCase{"one", {12}, "1785,00"},
                                           PrintCase{"two", {12, 150}, "18349,80"},
                                           PrintCase{"four", {12, 12, 12, 150}, "21919,80"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kado::host
