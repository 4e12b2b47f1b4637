// The scripted user: focus events, typing over the focus selection, refusals,
// and answers to modal shows.
#include <gtest/gtest.h>

#include "platform/com/error.h"
#include "platform/forms/driver.h"
#include "support/error_of.h"

namespace kado::forms {
namespace {

using kado::test::ErrorOf;

struct Dialog {
    std::shared_ptr<HeadlessDesktop> desktop = std::make_shared<HeadlessDesktop>();
    Driver driver{desktop};
    std::vector<std::string> events;
    std::shared_ptr<Form> form = Form::Create(desktop, "frmKat1", [this](Form& f) {
        for (const char* name : {"mskGesamt", "mskBoden"}) {
            auto& m = f.Add<MaskEdBox>(name, {});
            m.SetMask("####");
            std::string n = name;
            // The dialogs select all on entry.
            m.OnGotFocus([this, n, &m] {
                events.push_back("GotFocus " + n);
                m.SetSelStart(0);
                m.SetSelLength(255);
            });
            m.OnLostFocus([this, n, &m] { events.push_back("LostFocus " + n + " '" + m.Text() + "'"); });
        }
        f.Add<TextBox>("grdAusFlur", {});
        f.Add<CheckBox>("sevCheck1", {}).OnClick([this] { events.push_back("Click sevCheck1"); });
        f.Add<Label>("lblSumme", {});
        auto& cmb = f.Add<ComboBox>("cmbKlassifizierung", {});
        cmb.AddItem("Kreisstraßen");
        cmb.AddItem("Wege");
        cmb.OnLostFocus([this, &cmb] { events.push_back("LostFocus cmb " + std::to_string(cmb.ListIndex())); });
        f.Add<CommandButton>("CommandAbbruch", {}).OnClick([&f] { f.Unload(); });
    });
};

TEST(Driver, SetTypesOverTheFocusSelectionWithFocusEvents) {
    Dialog d;
    d.form->Show();
    d.form->Get<MaskEdBox>("mskGesamt").SetText("1234");
    d.driver.Set(*d.form, "mskGesamt", "7");
    d.driver.Set(*d.form, "mskBoden", "35");
    d.driver.Focus(*d.form, "mskGesamt");
    d.driver.Click(*d.form, "sevCheck1");
    EXPECT_EQ(d.events, (std::vector<std::string>{
                            "GotFocus mskGesamt", "LostFocus mskGesamt '7   '",
                            "GotFocus mskBoden", "LostFocus mskBoden '35  '",
                            "GotFocus mskGesamt", "LostFocus mskGesamt '7   '", "Click sevCheck1"}));
    EXPECT_EQ(d.form->Get<CheckBox>("sevCheck1").Value(), 1);
    EXPECT_EQ(d.form->ActiveControl(), &d.form->Item("sevCheck1"));
}

TEST(Driver, TypeKeepsTheSelectionAndDecodesUtf8) {
    Dialog d;
    d.driver.Set(*d.form, "grdAusFlur", "Flur 3");
    d.driver.Type(*d.form, "grdAusFlur", " Gemarkung Müß");
    EXPECT_EQ(d.form->Get<TextBox>("grdAusFlur").Text(), "Flur 3 Gemarkung Müß");
    d.driver.Key(*d.form, "grdAusFlur", key::Backspace);
    EXPECT_EQ(d.form->Get<TextBox>("grdAusFlur").Text(), "Flur 3 Gemarkung Mü");
    EXPECT_EQ(ErrorOf([&] { d.driver.Type(*d.form, "grdAusFlur", "\xc3("); }), 5);
}

TEST(Driver, SelectChoosesTheEntryAndLeaves) {
    Dialog d;
    d.driver.Select(*d.form, "cmbKlassifizierung", 1);
    EXPECT_EQ(d.events.back(), "LostFocus cmb 1");
    EXPECT_EQ(ErrorOf([&] { d.driver.Select(*d.form, "cmbKlassifizierung", 5); }), 380);
    EXPECT_EQ(ErrorOf([&] { d.driver.Select(*d.form, "mskBoden", 0); }), 13);
}

TEST(Driver, RefusesWhatAUserCouldNotReach) {
    Dialog d;
    d.form->Get<MaskEdBox>("mskBoden").SetEnabled(false);
    d.form->Get<TextBox>("grdAusFlur").SetVisible(false);
    struct {
        const char* what;
        std::function<void()> act;
        int error;
    } cases[] = {
        {"disabled", [&] { d.driver.Set(*d.form, "mskBoden", "1"); }, 5},
        {"hidden", [&] { d.driver.Click(*d.form, "grdAusFlur"); }, 5},
        {"missing", [&] { d.driver.Focus(*d.form, "mskFehlt"); }, 730},
        {"label focus", [&] { d.driver.Focus(*d.form, "lblSumme"); }, 5},
        {"label text", [&] { d.driver.Set(*d.form, "lblSumme", "1"); }, 13},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.act), c.error) << c.what;
    EXPECT_EQ(d.form->Get<MaskEdBox>("mskBoden").Text(), "    ");
}

TEST(Driver, ClickThatUnloadsTheForm) {
    Dialog d;
    d.driver.Set(*d.form, "mskGesamt", "12");
    d.driver.Focus(*d.form, "mskGesamt");
    d.events.clear();
    d.driver.Click(*d.form, "CommandAbbruch");
    EXPECT_FALSE(d.form->Loaded());
    EXPECT_EQ(d.events, (std::vector<std::string>{"LostFocus mskGesamt '12  '"}));
    EXPECT_EQ(d.form->Get<MaskEdBox>("mskGesamt").Text(), "    ");  // reloaded from the design
}

TEST(Driver, FocusOnAnotherFormLeavesTheFirst) {
    Dialog d;
    auto other = Form::Create(d.desktop, "frmKat2", [](Form& f) { f.Add<TextBox>("txt_2", {}); });
    d.driver.Focus(*d.form, "mskBoden");
    d.driver.Focus(*other, "txt_2");
    EXPECT_EQ(d.events, (std::vector<std::string>{"GotFocus mskBoden", "LostFocus mskBoden '    '"}));
    EXPECT_EQ(d.form->ActiveControl(), nullptr);
    EXPECT_EQ(other->ActiveControl(), &other->Item("txt_2"));
}

struct TableChoiceForm {
    std::shared_ptr<HeadlessDesktop> desktop = std::make_shared<HeadlessDesktop>();
    Driver driver{desktop};
    std::shared_ptr<Form> form = Form::Create(desktop, "G_frmTabelle", [](Form& f) {
        f.Add<OptionButton>("optNeu", {}).SetValue(true);
        for (int i = 0; i < 5; ++i) f.Add<OptionButton>("optTabelle", {i + 1, 0}, i).SetEnabled(i < 2);
        f.Add<CommandButton>("cmdEnde", {}).OnClick([&f] { f.Hide(); });
    });
};

TEST(Driver, ModalAnswersInOrder) {
    TableChoiceForm t;
    t.driver.ChooseNext("optTabelle(1)", "cmdEnde");
    t.driver.CloseNext();
    t.driver.ChooseNext("optTabelle(3)", "cmdEnde");  // disabled option: the answer fails

    t.form->Show(true);
    EXPECT_TRUE(t.form->Get<OptionButton>("optTabelle", 1).Value());
    EXPECT_TRUE(t.form->Loaded());

    t.form->Show(true);
    EXPECT_FALSE(t.form->Loaded());
    EXPECT_TRUE(t.form->Get<OptionButton>("optNeu").Value());  // reloaded: the design's choice

    EXPECT_EQ(ErrorOf([&] { t.form->Show(true); }), 5);
    EXPECT_FALSE(t.form->Visible());
    EXPECT_FALSE(t.form->Modal());
    EXPECT_EQ(t.desktop->ModalRuns().size(), 3u);
    EXPECT_EQ(t.desktop->PendingAnswers(), 0u);
}

}  // namespace
}  // namespace kado::forms
