// The batch actions as a user types them on the command line.
#include <gtest/gtest.h>

#include <string>

#include "host/batch_action.h"

namespace {

using kado::host::Action;
using kado::host::ParseAction;
using K = Action::Kind;

struct Good {
    const char* text;
    K kind;
    const char* control;
    const char* value;
    int number;
};

TEST(BatchAction, ParsesEveryVerb) {
    const Good cases[] = {
        {"set mskBezug=250,00", K::Set, "mskBezug", "250,00", 0},
        {"set txt_2=Flur 3 = Teil", K::Set, "txt_2", "Flur 3 = Teil", 0},  // only the first '=' splits
        {"set grdAusFlur=", K::Set, "grdAusFlur", "", 0},
        {"text mskGP=  12", K::Text, "mskGP", "  12", 0},
        {"click optTabelle(3)", K::Click, "optTabelle(3)", "", 0},
        {"click chkErmäßigung", K::Click, "chkErmäßigung", "", 0},
        {"select cmbKlassifizierung=2", K::Select, "cmbKlassifizierung", "", 2},
        {"select cmbKlassifizierung=-1", K::Select, "cmbKlassifizierung", "", -1},
        {"key mskBezug=,", K::Key, "mskBezug", ",", 0},
        {"key txt_2=ä", K::Key, "txt_2", "ä", 0},
        {"choose optAktTabelle", K::Choose, "optAktTabelle", "", 0},
        {"cursor 2", K::Cursor, "", "", 2},
        {"ok", K::Ok, "", "", 0},
        {"cancel", K::Cancel, "", "", 0},
    };
    for (const auto& c : cases) {
        std::string error;
        auto a = ParseAction(c.text, error);
        ASSERT_TRUE(a) << c.text << ": " << error;
        EXPECT_EQ(a->kind, c.kind) << c.text;
        EXPECT_EQ(a->control, c.control) << c.text;
        EXPECT_EQ(a->text, c.value) << c.text;
        EXPECT_EQ(a->number, c.number) << c.text;
    }
}

TEST(BatchAction, RefusesWithAReason) {
    const char* cases[] = {
        "", "klick optNeu", "set mskBezug", "set =12", "click", "click opt Neu", "click optTabelle(-1)",
        "click optTabelle(x)", "click 3abc", "select cmb=zwei", "select cmb=-2", "key msk=", "key msk=ab",
        "key msk=\xC3", "cursor 0", "cursor", "cursor 2a", "ok now", "set x;DROP TABLE Rechnung=1",
    };
    for (const char* text : cases) {
        std::string error;
        EXPECT_FALSE(ParseAction(text, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

}  // namespace
