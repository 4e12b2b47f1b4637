// The invoice as printed over more than one page: invoices of one to four fee
// tables (the categories' demo jobs) through LibreOffice, page by page. A page
// break must not leave a table's title and headings without its body, break
// the totals, or start a page with the invoice amount. Pages are kept as PNG
// in build/test-output.
#include <gtest/gtest.h>

#include <iostream>
#include <regex>
#include <string>
#include <vector>

#include "platform/word/lo_support.h"
#include "print_support.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;
using namespace test;
using word::test::FreshDir;
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

struct PagesCase {
    const char* name;
    std::vector<int> categories;  // one confirmed demo job per fee table, in this order
};

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
    const fs::path dir = FreshDir(std::string("invoice-pages-") + c.name);
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

    static const std::regex title(R"(nach Nr\. 30\.[0-9.]+$)"), heading(R"(^Geb\. V\. )"),
        sumRow(R"(^Summe +-?[0-9]+,[0-9]{2} €$)"), amountRow(R"(^Rechnungsbetrag +-?[0-9]+,[0-9]{2} €$)");
    size_t titles = 0;
    int sumPage = 0, amountPage = 0, sentencePage = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        const auto& lines = pages[p];
        const int page = static_cast<int>(p) + 1;
        if (p > 0 && !lines.empty()) {
            EXPECT_FALSE(lines.front().starts_with("Rechnungsbetrag")) << "page " << page << " starts with " << lines.front();
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            if (std::regex_search(lines[i], title)) {
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
    std::error_code ec;
    fs::remove_all(dir, ec);
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
                                           PagesCase{"4-tables-headings", {0, 0, 3, 0}}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (ch == '-') ch = '_';
                             return n;
                         });

}  // namespace
}  // namespace kado::host
