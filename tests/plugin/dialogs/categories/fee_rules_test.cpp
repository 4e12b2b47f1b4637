// The five fee rules without a dialog: inputs to the record of fees, checked
// by the texts the dialog shows and the table restates.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/com/error.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/categories/frm_kat5.h"

namespace {

using Texts = std::vector<std::pair<const char*, const char*>>;

template <class Inputs>
struct RuleCase {
    const char* name;
    Inputs in;
    Texts shown;
};

// Runs each case through the category's rule and compares the record's texts.
template <class Inputs, class Compute, class Record>
void Check(const std::vector<RuleCase<Inputs>>& cases, Compute compute, Record record) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const honora::FeeRecord r = record(compute(c.in));
        for (const auto& [key, text] : c.shown) EXPECT_EQ(r.Text(key), text) << key;
    }
}

TEST(FeeRules, Zerlegung) {
    namespace k = honora::kat1;
    // Counts in the order of kFeeItems; the marked points are last.
    const std::array<double, 8> usual = {2, 3, 0, 0, 0, 0, 4, 4};
    Check<k::Inputs>(
        {
            {"land value larger", {usual, false, 0, 2.25},
             {{"lblAusFlur", "300,00"}, {"lblNeuFlur", "660,00"}, {"lblGP", "160,00"}, {"lblZwischen", "1120,00"},
              {"lblAGP", "160,00"}, {"lblSumme", "2880,00"}}},
            // The subtotal shows the items before the reduction; the marked points escape it.
            {"splinter areas", {usual, true, 0, 2.25}, {{"lblZwischen", "1120,00"}, {"lblSumme", "2124,00"}}},
            {"classification larger", {usual, false, 1.2, 1.0}, {{"lblSumme", "1536,00"}}},
            {"no factor yet", {usual, false, 0, 0}, {{"lblZwischen", "1120,00"}, {"lblSumme", "  0,00"}}},
            {"reductions", {{0, 3, 1, 1, 2, 1, 0, 0}, false, 0, 1.0},
             {{"lblNeu2", "-330,00"}, {"lblNeu75", "-220,00"}, {"lblNeu75_51", "-220,00"}, {"lblNeu499", "220,00"},
              {"lblZwischen", "110,00"}, {"lblSumme", "110,00"}}},
        },
        k::ComputeFees, k::Record);
}

TEST(FeeRules, Baulandumlegung) {
    namespace k = honora::kat2;
    // The reduction is a fifth of the fee as its label shows it, at width 8.
    Check<k::Inputs>(
        {
            {"residential", {{2, 3, 5, 4}, 2.25, 1.6},
             {{"lblAusFlur", "300,00"}, {"lblGP", "200,00"}, {"lblZwischen", "1320,00"}, {"lblSumme", "4752,00"},
              {k::kReduction, " -950,40"}},
            },
            {"special areas", {{2, 3, 5, 4}, 2.25, 3.0}, {{"lblSumme", "8910,00"}, {k::kReduction, "-1782,00"}}},
            {"empty counts", {{0, 0, 0, 0}, 1.0, 1.6}, {{"lblNeuFlur", "  0,00"}, {"lblSumme", "  0,00"}}},
        },
        k::ComputeFees, k::Record);
}

TEST(FeeRules, LangGestreckteAnlagen) {
    namespace k = honora::kat3;
    Check<k::Inputs>(
        {
            {"first class", {{1, 4, 6, 6}, 1.5},
             {{"lblNeuFlur", "880,00"}, {"lblAGP", "240,00"}, {"lblZwischen", "1510,00"}, {"lblSumme", "2265,00"}}},
            {"second class", {{1, 4, 6, 6}, 1.2}, {{"lblSumme", "1812,00"}}},
        },
        k::ComputeFees, k::Record);
}

TEST(FeeRules, Gebäudeaufnahme) {
    namespace k = honora::kat4;
    // The labels carry no decimals where the dialog shows whole euros; the
    // table restates those texts at width 8 with two decimals.
    Check<k::Inputs>(
        {
            {"start values", {0, 0},
             {{"lblGebühr100", "   100"}, {"lblGebühr30", "    30"}, {"mskAnzahl30", "    "},
              {"lblSumme30", " 0,00"}, {"lblSumme", "100,00"}, {k::kBaseCell, "  100,00"}}},
            {"one further group", {25'000, 6},
             {{"mskAnzahl30", "   1"}, {"lblSumme30", "  30,00"}, {"lblSumme", "130,00"}, {k::kFurtherCell, "   30,00"}}},
            // From 1000 on the thousands point takes a pad blank's place before it is dropped.
            {"above the table", {7'000'000, 11},
             {{"lblGebühr100", " 2400"}, {"lblGebühr30", "   720"}, {"mskAnzahl30", "   2"}, {"lblSumme30", "1440,00"},
              {"lblSumme", "3840,00"}, {k::kBaseCell, "2400,00"}, {k::kFurtherCell, "1440,00"}}},
        },
        k::ComputeFees, k::Record);
    // A number of buildings no 16-bit integer holds fails the rule, which leaves the labels.
    EXPECT_THROW(k::ComputeFees({0, 40'000}), kado::com::Error);
}

TEST(FeeRules, Grenzfeststellung) {
    namespace k = honora::kat5;
    // Inputs: points determined, points marked, land-value factor, classification factor.
    Check<k::Inputs>(
        {
            {"nothing counted", {0, 0, 1.0, 0},
             {{"lblAGPo", "  0,00"}, {"lblZwischen", "  0,00"}, {"lblZF", "  0,00"}, {"lblSockel", "150,00"},
              {"lblSumme", "150,00"}}},
            {"land value larger", {3, 2, 1.5, 1.2},
             {{"lblAGPo", "120,00"}, {"lblAGP", " 80,00"}, {"lblZwischen", "200,00"}, {"lblZF", "300,00"},
              {"lblSumme", "450,00"}}},
            {"classification larger", {3, 2, 1.0, 1.2}, {{"lblZF", "240,00"}, {"lblSumme", "390,00"}}},
        },
        k::ComputeFees, k::Record);
}

}  // namespace
