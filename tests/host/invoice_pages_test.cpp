// The invoice as printed over more than one page: invoices of one to eight fee
// tables (the categories' demo jobs) through LibreOffice, page by page. A page
// break must not leave a table's title and headings without its body, part a
// table shorter than a page from its fee line, break the totals, or start a
// page with the invoice amount; no text lies under the payment term and none
// past the right margin. Pages are kept as PNG in build/test-output.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <regex>
#include <string>
#include <vector>

#include "host/demo.h"
#include "platform/word/lo_support.h"
#include "platform/word/page_estimate.h"
#include "print_support.h"
#include "support/temp_dir.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;
using namespace test;
using word::test::LoConvert;
using word::test::ReadAll;

const fs::path kPictures = fs::path(KADO_BINARY_DIR) / "test-output";

// Each page's lines as pdftotext lays them out, trimmed, without blank lines
// and without the payment term's text box, which floats wherever it is placed.
std::vector<std::vector<std::string>> PageLines(const std::string& text) {
    std::vector<std::vector<std::string>> pages(1);
    std::string line;
    auto endLine = [&] {
        const auto from = line.find_first_not_of(' '), to = line.find_last_not_of(' ');
        if (from != std::string::npos && line.find("Zahlbar bis") == std::string::npos)
            pages.back().push_back(line.substr(from, to - from + 1));
        line.clear();
    };
    for (char ch : text) {
        if (ch == '\n') {
            endLine();
        } else if (ch == '\f') {
            endLine();
            pages.emplace_back();
        } else {
            line += ch;
        }
    }
    endLine();
    while (pages.size() > 1 && pages.back().empty()) pages.pop_back();
    return pages;
}

std::string LineText(const std::vector<Word>& line) {
    std::string t;
    for (const auto& w : line) t += (t.empty() ? "" : " ") + w.text;
    return t;
}

// What the word boxes show wrong, one text per fault. The table at `longAt`
// (from 0) is longer than a page: it goes on to the next page, which starts
// with its title and headings again and then an item, and its fee line has
// the factor block on its page.
std::vector<std::string> PageFaults(const std::vector<Page>& pages, int longAt) {
    std::vector<std::string> faults;
    constexpr double kPt = 72.0 / 2.54;
    static const std::regex title(R"(nach Nr\. 30\.[0-9.]+$)");
    std::string open;  // the title of the table whose fee line is still to come
    int openPage = 0, table = -1, boxes = 0, repeated = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        const Page& page = pages[p];
        const int n = static_cast<int>(p) + 1;
        const std::string on = " on page " + std::to_string(n);
        for (const auto& w : page.words)
            if (w.xMax > page.width - host::kRightMarginCm * kPt + 1)
                faults.push_back("\"" + w.text + "\" past the right margin" + on);
        // The payment term's words and the box around them (text inset 3.6 pt, height 54 pt).
        for (const auto& box : page.words) {
            if (box.text != "Zahlbar") continue;
            ++boxes;
            const double top = box.yMin - 5, bottom = top + 54;
            if (std::abs(top - 25.5 * kPt) > 4) faults.push_back("the payment term not 25,5 cm from the top" + on);
            for (const auto& w : page.words) {
                const bool own = std::abs(w.yMin - box.yMin) < 1 && w.xMin >= box.xMin - 1;
                if (!own && w.yMax > top && w.yMin < bottom)
                    faults.push_back("\"" + w.text + "\" under the payment term" + on);
            }
        }
        for (size_t i = 0; i < page.lines.size(); ++i) {
            const auto& line = page.lines[i];
            if (line.empty()) continue;
            const std::string text = LineText(line);
            if (std::regex_search(text, title)) {
                if (text == open && table == longAt && i == 0) {
                    // Repeated on the page it goes on to, with the headings; right below
                    // them an item number: the first row of an item, not its count row.
                    static const std::regex item(R"(^30\.[0-9.]+$)");
                    const bool atItem = i + 2 < page.lines.size() && LineText(page.lines[i + 1]) == "Geb. V." &&
                                        std::regex_match(LineText(page.lines[i + 2]), item) &&
                                        page.lines[i + 2].front().yMin - page.lines[i + 1].front().yMax < 15;
                    if (!atItem) faults.push_back("the long table continues" + on + " inside an item block");
                    repeated = n;
                    continue;
                }
                if (!open.empty()) faults.push_back("\"" + open + "\" without its fee line");
                open = text;
                openPage = n;
                ++table;
            } else if (line.front().text == "Gebühr" && (line.size() == 1 || line[1].text != "[€]")) {
                if (open.empty()) faults.push_back("a fee line without its table" + on);
                else if (table != longAt && openPage != n)
                    faults.push_back("\"" + open + "\" on page " + std::to_string(openPage) + ", its fee line" + on);
                else if (table == longAt && openPage == n)
                    faults.push_back("the long table fits on page " + std::to_string(n));
                else if (table == longAt && repeated != n)
                    faults.push_back("the long table continues" + on + " without its title and headings");
                else if (table == longAt) {
                    bool factor = false;
                    for (size_t k = 0; k < i; ++k)
                        factor = factor || LineText(page.lines[k]).find("Wertfaktor") != std::string::npos;
                    if (!factor) faults.push_back("the long table's fee line apart from its factor block" + on);
                }
                open.clear();
            }
        }
    }
    if (!open.empty()) faults.push_back("\"" + open + "\" without its fee line");
    if (boxes != 1) faults.push_back(std::to_string(boxes) + " payment terms");
    return faults;
}

struct PagesCase {
    const char* name;
    std::vector<int> categories;  // one confirmed demo job per fee table, in this order
    int at = -1;                  // the Zerlegung among them whose parcels are listed one by one
    std::vector<int> parcels{};   // how many, in its source and then its formed parcels' description
    bool longTable = false;       // which makes that table longer than a page
};

// "set grdAusFlur=Flur 3, Flurstücke 112/1, ... 112/N,"
std::string Parcels(const char* field, int n) {
    std::string t = std::string("set ") + field + "=Flur 3, Flurstücke";
    for (int i = 1; i <= n; ++i) t += " 112/" + std::to_string(i) + ",";
    return t;
}

void PrintTo(const PagesCase& c, std::ostream* os) { *os << c.name; }

class InvoicePages : public ::testing::TestWithParam<PagesCase> {};

TEST_P(InvoicePages, KeepTitlesWithTheirBodyAndTheTotalsWhole) {
    if (const auto tool = MissingPrintTool(); !tool.empty())
        GTEST_SKIP() << tool << " is missing (setup.sh installs it): the printed pages are not checked";
    const PagesCase& c = GetParam();
    std::vector<Job> jobs;
    for (int category : c.categories) {
        jobs.push_back(DemoJob(category));
        ASSERT_FALSE(jobs.back().actions.empty()) << "no demo job for category " << category;
    }
    if (c.at >= 0) {
        auto& actions = jobs[static_cast<size_t>(c.at)].actions;
        std::erase_if(actions, [](const std::string& a) { return a.starts_with("set grdAusFlur="); });
        const char* fields[] = {"grdAusFlur", "grdNeuFlur"};
        for (size_t k = 0; k < c.parcels.size() && k < 2; ++k) actions.push_back(Parcels(fields[k], c.parcels[k]));
    }
    const kado::testing::TempDir tmp(std::string("kado-invoice-pages-") + c.name);
    const fs::path& dir = tmp.Path();
    std::string error;
    const fs::path doc = MakeInvoice(dir, c.name, jobs, error);
    ASSERT_FALSE(doc.empty()) << error;
    const fs::path pdf = LoConvert(doc, "pdf", dir);
    ASSERT_FALSE(pdf.empty()) << ReadAll(dir / "soffice.log");

    const auto pictures = KeepPages(pdf, kPictures, "invoice-" + std::string(c.name) + "-p", dir / "ppm.log");
    ASSERT_FALSE(pictures.empty()) << ReadAll(dir / "ppm.log");
    for (const auto& png : pictures) std::cout << "invoice page: " << png.string() << "\n";
    ASSERT_EQ(Sh("pdftotext -layout " + Quote(pdf.string()) + " " + Quote((dir / "pages.txt").string()), dir / "txt.log"), 0);
    const auto pages = PageLines(ReadAll(dir / "pages.txt"));

    ASSERT_EQ(Sh("pdftotext -bbox-layout " + Quote(pdf.string()) + " " + Quote((dir / "boxes.html").string()),
                 dir / "box.log"),
              0);
    const auto printed = WordBoxes(ReadAll(dir / "boxes.html"));
    const auto faults = PageFaults(printed, c.longTable ? c.at : -1);
    for (const auto& f : faults) ADD_FAILURE() << f;

    // The preview's page estimate: as many pages as printed, the payment term on its printed page.
    const auto estimate = word::EstimatePages(*word::Document::Open(doc));
    EXPECT_EQ(estimate.Count(), static_cast<int>(printed.size())) << "pages estimated for the preview";
    int termPage = 0;
    for (size_t p = 0; p < printed.size(); ++p)
        for (const auto& w : printed[p].words)
            if (w.text == "Zahlbar") termPage = static_cast<int>(p) + 1;
    ASSERT_EQ(estimate.boxes.size(), 1u);
    EXPECT_EQ(estimate.boxes[0].page, termPage) << "the payment term's page";
    EXPECT_NEAR(estimate.boxes[0].top, 25.5 * 72 / 2.54, 1);

    static const std::regex title(R"(nach Nr\. 30\.[0-9.]+$)"), heading(R"(^Geb\. V\. )"),
        sumRow(R"(^Summe +-?[0-9]+,[0-9]{2} €$)"), amountRow(R"(^Rechnungsbetrag +-?[0-9]+,[0-9]{2} €$)");
    size_t titles = 0;
    std::string lastTitle;
    int sumPage = 0, amountPage = 0, sentencePage = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        const auto& lines = pages[p];
        const int page = static_cast<int>(p) + 1;
        if (p > 0 && !lines.empty()) {
            EXPECT_FALSE(lines.front().starts_with("Rechnungsbetrag")) << "page " << page << " starts with " << lines.front();
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            if (std::regex_search(lines[i], title)) {
                // A long table's title, repeated on the page it goes on to.
                if (i == 0 && lines[i] == lastTitle) continue;
                lastTitle = lines[i];
                ++titles;
                // The headings follow the title, and a body row the headings, on the same page.
                EXPECT_TRUE(i + 2 < lines.size() && std::regex_search(lines[i + 1], heading))
                    << "\"" << lines[i] << "\" on page " << page << " without its headings and first row";
            }
            if (std::regex_search(lines[i], sumRow)) sumPage = page;
            if (std::regex_search(lines[i], amountRow)) amountPage = page;
            if (lines[i].starts_with("Rechnungsbetrag:")) sentencePage = page;
        }
    }
    EXPECT_EQ(titles, c.categories.size()) << "fee table titles";
    ASSERT_GT(sumPage, 0) << "the totals' first row";
    EXPECT_EQ(amountPage, sumPage) << "the totals broken across pages";
    EXPECT_EQ(sentencePage, sumPage) << "the amount's sentence apart from the totals";
}

// Categories by dialog index: 0 Grenzfeststellung, 1 Gebäudeaufnahme, 2 lang
// gestreckte Anlagen, 3 Baulandumlegung, 4 Zerlegung. Without keeps LibreOffice
// ended page 1 of the three- and four-table invoices before the totals' amount
// row, before the amount's sentence, inside the totals, after a title and after
// the headings, in this order.
INSTANTIATE_TEST_SUITE_P(Tables, InvoicePages,
                         ::testing::Values(PagesCase{"1-table", {0}}, PagesCase{"2-tables", {0, 0}},
                                           PagesCase{"3-tables-amount-row", {0, 0, 3}},
                                           PagesCase{"3-tables-amount-sentence", {0, 0, 4}},
                                           PagesCase{"3-tables-totals", {0, 0, 2}},
                                           PagesCase{"4-tables-title", {0, 0, 2, 0}},
                                           PagesCase{"4-tables-headings", {0, 0, 3, 0}},
                                           PagesCase{"4-tables-mixed", {4, 1, 3, 2}},
                                           PagesCase{"6-tables", {0, 3, 2, 1, 4, 0}},
                                           PagesCase{"8-tables", {0, 3, 2, 1, 4, 0, 2, 3}},
                                           // The totals would reach down to the payment term.
                                           PagesCase{"1-table-at-the-payment-term", {4}, 0, {175}},
                                           PagesCase{"long-table", {0, 4, 1}, 1, {200, 200}, true}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (ch == '-') ch = '_';
                             return n;
                         });

}  // namespace
}  // namespace kado::host
