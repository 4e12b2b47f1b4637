// Typing into masked and plain text fields: placeholders, literals, selection.
#include <gtest/gtest.h>

#include "platform/com/error.h"
#include "platform/forms/forms.h"
#include "support/error_of.h"

namespace kado::forms {
namespace {

struct Field {
    explicit Field(std::string mask)
        : form(Form::Create(std::make_shared<HeadlessDesktop>(), "frmTest", [mask](Form& f) {
              f.Add<MaskEdBox>("msk", {}).SetMask(mask);
              f.Add<TextBox>("txt", {0, 1});
          })) {}
    MaskEdBox& Msk() { return form->Get<MaskEdBox>("msk"); }
    std::shared_ptr<Form> form;
};

using kado::test::ErrorOf;

struct TypingCase {
    const char* what;
    const char* mask;
    const char* start;  // text before typing
    int selStart;
    int selLength;
    std::u32string keys;
    const char* text;
    int caret;
    int selected;
};

class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, GivesTextAndSelection) {
    const TypingCase& c = GetParam();
    Field f(c.mask);
    MaskEdBox& m = f.Msk();
    m.SetText(c.start);
    m.SetSelStart(c.selStart);
    m.SetSelLength(c.selLength);
    for (char32_t k : c.keys) m.TypeChar(k);
    EXPECT_EQ(m.Text(), c.text);
    EXPECT_EQ(m.SelStart(), c.caret);
    EXPECT_EQ(m.SelLength(), c.selected);
}

INSTANTIATE_TEST_SUITE_P(
    MaskEdBox, Typing,
    ::testing::Values(
        TypingCase{"digit over select-all", "####", "1234", 0, 255, U"2", "2   ", 1, 0},
        TypingCase{"digits fill in turn", "####", "", 0, 0, U"123", "123 ", 3, 0},
        TypingCase{"refused letter changes nothing", "####", "12  ", 1, 2, U"x", "12  ", 1, 2},
        TypingCase{"full mask drops more digits", "####", "1234", 4, 0, U"5", "1234", 4, 0},
        TypingCase{"digit skips the literal", "####,##", "1234,  ", 4, 0, U"5", "1234,5 ", 6, 0},
        TypingCase{"comma steps past the literal", "####,##", "12  ,  ", 2, 0, U",", "12  ,  ", 5, 0},
        TypingCase{"comma after the literal does nothing", "####,##", "  12,00", 5, 2, U",", "  12,00", 5, 2},
        TypingCase{"comma then decimals", "####,##", "", 0, 0, U"12,5", "12  ,5 ", 6, 0},
        TypingCase{"backspace clears the selection", "####", "1234", 1, 2, U"\b", "1  4", 1, 0},
        TypingCase{"backspace jumps back over the literal", "####,##", "1234,5 ", 5, 0, U"\b", "123 ,5 ", 3, 0},
        TypingCase{"backspace at the start does nothing", "####", "1234", 0, 0, U"\b", "1234", 0, 0},
        TypingCase{"letter placeholder takes umlauts", "??", "", 0, 0, U"\u00e41", "\u00e4 ", 1, 0},
        TypingCase{"escaped literal", "\\##", "", 0, 0, U"#5", "#5", 2, 0},
        TypingCase{"any-character placeholder", "&&", "", 0, 0, U"-\u20ac", "-\u20ac", 2, 0}),
    [](const auto& info) {
        std::string name;
        for (const char* p = info.param.what; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(MaskEdBox, AssignmentMustFitTheMask) {
    Field f("####,##");
    MaskEdBox& m = f.Msk();
    struct {
        const char* text;
        int error;
    } cases[] = {
        {"1000,00", 0}, {"  12,00", 0}, {"    ,  ", 0}, {"", 0},
        {"1000", 380}, {"1000,000", 380}, {"1000.00", 380}, {"10a0,00", 380}, {"\xff\xfe", 380},
    };
    for (const auto& c : cases) {
        m.SetText("1111,11");
        EXPECT_EQ(ErrorOf([&] { m.SetText(c.text); }), c.error) << c.text;
        if (c.error != 0) {
            EXPECT_EQ(m.Text(), "1111,11") << "a refused assignment keeps the text: " << c.text;
        }
    }
    m.SetText("");
    EXPECT_EQ(m.Text(), "    ,  ");
}

TEST(MaskEdBox, CommaRuleAsAKeyPressHandler) {
    Field f("####,##");
    MaskEdBox& m = f.Msk();
    // The dialog's handler: reformat the integer part at width 7 with two decimals, select them.
    m.OnKeyPress([&m](int& key) {
        if (key != key::Comma) return;
        std::string digits;
        for (char c : m.Text().substr(0, 4))
            if (c != ' ') digits += c;
        std::string formatted = digits + ",00";
        m.SetText(std::string(7 - formatted.size(), ' ') + formatted);
        m.SetSelStart(5);
        m.SetSelLength(2);
    });
    m.SetText("12  ,  ");
    m.SetSelStart(2);
    m.TypeChar(U',');
    EXPECT_EQ(m.Text(), "  12,00");
    EXPECT_EQ(m.SelStart(), 5);
    EXPECT_EQ(m.SelLength(), 2);
    m.TypeChar(U'5');
    EXPECT_EQ(m.Text(), "  12,5 ");
}

TEST(MaskEdBox, KeyPressMayChangeOrSwallowTheKey) {
    Field f("####");
    MaskEdBox& m = f.Msk();
    std::vector<int> keyUps;
    m.OnKeyPress([](int& key) {
        if (key == 'x') key = 0;
        if (key == 'o') key = '0';
    });
    m.OnKeyUp([&](int& key) { keyUps.push_back(key); });
    m.TypeChar(U'x');
    m.TypeChar(U'o');
    EXPECT_EQ(m.Text(), "0   ");
    EXPECT_EQ(keyUps, (std::vector<int>{'x', 'o'}));
}

TEST(MaskEdBox, SelectionBoundsAndMaskChange) {
    Field f("####");
    MaskEdBox& m = f.Msk();
    EXPECT_EQ(ErrorOf([&] { m.SetSelStart(-1); }), 380);
    EXPECT_EQ(ErrorOf([&] { m.SetSelLength(-1); }), 380);
    m.SetSelStart(2);
    m.SetSelLength(255);
    EXPECT_EQ(m.SelLength(), 2);
    m.SetSelStart(99);
    EXPECT_EQ(m.SelStart(), 4);
    m.SetText("12  ");
    m.SetMask("##");
    EXPECT_EQ(m.Text(), "  ");
    m.SetMask("");
    m.SetText("frei");
    EXPECT_EQ(m.Text(), "frei");
}

TEST(TextBox, EditsCountCodePoints) {
    Field f("#");
    TextBox& t = f.form->Get<TextBox>("txt");
    t.SetText("Flur \u00fc");
    EXPECT_EQ(ErrorOf([&] { t.SetText("\xc3"); }), 380);
    t.SetSelStart(255);
    EXPECT_EQ(t.SelStart(), 6);
    t.TypeChar(U'\u00df');
    EXPECT_EQ(t.Text(), "Flur \u00fc\u00df");
    t.TypeChar(U'\b');
    t.TypeChar(U'\b');
    EXPECT_EQ(t.Text(), "Flur ");
    t.SetSelStart(0);
    t.SetSelLength(4);
    t.TypeChar(U'G');
    EXPECT_EQ(t.Text(), "G ");
    t.SetSelStart(0);
    t.DeleteForward();
    EXPECT_EQ(t.Text(), " ");
}

}  // namespace
}  // namespace kado::forms
