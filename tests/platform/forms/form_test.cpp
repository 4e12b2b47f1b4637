// Form lifecycle, lookup, option groups, focus order, observers and window calls.
#include <gtest/gtest.h>

#include "platform/com/error.h"
#include "platform/forms/forms.h"
#include "support/error_of.h"

namespace kado::forms {
namespace {

using kado::test::ErrorOf;

std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const com::Error& e) {
        return e.Description();
    }
    return {};
}

// A small table-choice form: a frame with options, one option outside it, a button.
struct Choice {
    std::shared_ptr<HeadlessDesktop> desktop = std::make_shared<HeadlessDesktop>();
    int loads = 0;
    int unloads = 0;
    std::vector<std::string> events;
    std::shared_ptr<Form> form = Form::Create(desktop, "G_frmTabelle", [this](Form& f) {
        f.SetCaption("Tabellenwahl");
        f.Add<Frame>("fraWahl", {0, 0}).SetCaption("zu bearbeitende Tabelle auswählen");
        f.Add<OptionButton>("optNeu", {0, 0}, -1, "fraWahl").SetValue(true);
        for (int i = 0; i < 5; ++i) f.Add<OptionButton>("optTabelle", {i + 1, 0}, i, "fraWahl");
        f.Add<OptionButton>("optAndere", {1, 0});
        f.Add<OptionButton>("optAndere2", {2, 0});
        f.Add<MaskEdBox>("mskA", {3, 0}).SetMask("####");
        f.Add<MaskEdBox>("mskB", {4, 0}).SetMask("####");
        f.Add<Label>("lblInfo", {5, 0});
        auto& tail = f.Add<CommandButton>("cmdEnde", {6, 0});
        tail.OnClick([&f] { f.Hide(); });
        for (const char* name : {"mskA", "mskB"}) {
            Control& c = f.Item(name);
            std::string n = name;
            c.OnGotFocus([this, n] { events.push_back("GotFocus " + n); });
            c.OnLostFocus([this, n] { events.push_back("LostFocus " + n); });
        }
        f.OnLoad([this] { ++loads; });
        f.OnUnload([this] { ++unloads; });
    });
    OptionButton& Opt(int i) { return form->Get<OptionButton>("optTabelle", i); }
    std::vector<std::string> Selected() {
        std::vector<std::string> keys;
        for (Control* c : form->Controls())
            if (auto* o = dynamic_cast<OptionButton*>(c); o && o->Value()) keys.push_back(o->Key());
        return keys;
    }
};

TEST(Form, LookupErrorsNameTheControl) {
    Choice c;
    struct {
        const char* key;
        int error;
        const char* named;
    } cases[] = {
        {"optTabelle(4)", 0, ""},
        {"OPTNEU", 0, ""},
        {"optTabelle(5)", 340, "optTabelle(5)"},
        {"optTabelle", 340, "optTabelle"},
        {"optNeu(0)", 340, "optNeu(0)"},
        {"optFehlt", 730, "optFehlt"},
        {"optTabelle(x)", 730, "optTabelle(x)"},
    };
    for (const auto& k : cases) {
        const std::string message = MessageOf([&] { c.form->ItemByKey(k.key); });
        EXPECT_EQ(ErrorOf([&] { c.form->ItemByKey(k.key); }), k.error) << k.key;
        EXPECT_NE(message.find(k.named), std::string::npos) << message;
    }
    EXPECT_EQ(ErrorOf([&] { c.form->Get<CheckBox>("optNeu"); }), 13);
    EXPECT_EQ(ErrorOf([&] { c.form->Add<Label>("optNeu", {}); }), 380);
}

TEST(Form, OptionGroupsKeepOneSelectedPerContainer) {
    Choice c;
    int clicks = 0;
    c.Opt(2).OnClick([&] { ++clicks; });
    EXPECT_EQ(c.Selected(), (std::vector<std::string>{"optNeu"}));

    c.Opt(2).SetValue(true);  // by code: fires Click, clears the rest of the frame
    EXPECT_EQ(clicks, 1);
    c.form->Get<OptionButton>("optAndere").Click();  // another group: the frame keeps its choice
    EXPECT_EQ(c.Selected(), (std::vector<std::string>{"optTabelle(2)", "optAndere"}));
    c.form->Get<OptionButton>("optAndere2").Click();
    c.form->Get<OptionButton>("optNeu").Click();
    EXPECT_EQ(c.Selected(), (std::vector<std::string>{"optNeu", "optAndere2"}));

    c.Opt(2).Click();  // the user's click selects and reports once
    c.Opt(2).Click();  // again on the selected option: still selected, reported again
    c.Opt(2).SetValue(true);
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(c.Selected(), (std::vector<std::string>{"optTabelle(2)", "optAndere2"}));
}

TEST(Form, CheckBoxValueByCodeFiresClick) {
    auto form = Form::Create(std::make_shared<HeadlessDesktop>(), "frmKat1", [](Form& f) { f.Add<CheckBox>("sevCheck1", {}); });
    auto& chk = form->Get<CheckBox>("sevCheck1");
    std::vector<int> seen;
    chk.OnClick([&] { seen.push_back(chk.Value()); });
    chk.SetValue(1);
    chk.SetValue(1);  // unchanged: no Click
    chk.Click();
    EXPECT_EQ(ErrorOf([&] { chk.SetValue(2); }), 380);
    EXPECT_EQ(seen, (std::vector<int>{1, 0}));
}

TEST(Form, UnloadDropsStateAndReachingAControlReloadsTheDesign) {
    Choice c;
    c.Opt(3).SetValue(true);
    c.form->Get<Label>("lblInfo").SetCaption("geändert");
    c.form->SetWindowState(2);
    c.form->Show();
    EXPECT_EQ(c.loads, 1);

    c.form->Unload();
    EXPECT_FALSE(c.form->Loaded());
    EXPECT_FALSE(c.form->Visible());
    EXPECT_TRUE(c.form->Controls().empty());
    EXPECT_EQ(c.unloads, 1);
    EXPECT_EQ(c.form->Caption(), "");

    // Reading an option of the unloaded form loads it afresh: the design's choice is back.
    EXPECT_TRUE(c.form->Get<OptionButton>("optNeu").Value());
    EXPECT_EQ(c.loads, 2);
    EXPECT_FALSE(c.Opt(3).Value());
    EXPECT_EQ(c.form->Get<Label>("lblInfo").Caption(), "");
    EXPECT_EQ(c.form->Caption(), "Tabellenwahl");
    EXPECT_EQ(c.form->WindowState(), WindowState::Normal);
    EXPECT_FALSE(c.form->Visible());

    // Handlers of the first load are gone, not doubled.
    c.form->Unload();
    EXPECT_EQ(c.unloads, 2);
}

TEST(Form, HandlerThatUnloadsItsOwnFormIsSafe) {
    auto form = Form::Create(std::make_shared<HeadlessDesktop>(), "frmKat1", [](Form& f) {
        auto& abbruch = f.Add<CommandButton>("CommandAbbruch", {});
        abbruch.OnClick([&f] { f.Unload(); });
        abbruch.OnClick([] { ADD_FAILURE() << "handlers of a dropped control must not run"; });
        auto& msk = f.Add<MaskEdBox>("mskBezug", {});
        msk.SetMask("####,##");
        msk.OnKeyPress([&f](int&) { f.Unload(); });
    });
    form->Show();
    form->Get<CommandButton>("CommandAbbruch").Click();
    EXPECT_FALSE(form->Loaded());
    form->Get<MaskEdBox>("mskBezug").TypeChar(U'1');  // reloads, then the key unloads it again
    EXPECT_FALSE(form->Loaded());
}

TEST(Form, FocusOrderAndRefusals) {
    Choice c;
    auto& a = c.form->Get<MaskEdBox>("mskA");
    auto& b = c.form->Get<MaskEdBox>("mskB");
    c.form->SetFocus(a);
    c.form->SetFocus(a);  // already there: nothing fires
    c.form->SetFocus(b);
    c.form->KillFocus();
    EXPECT_EQ(c.events, (std::vector<std::string>{"GotFocus mskA", "LostFocus mskA", "GotFocus mskB", "LostFocus mskB"}));
    EXPECT_EQ(c.form->ActiveControl(), nullptr);

    b.SetEnabled(false);
    EXPECT_EQ(ErrorOf([&] { c.form->SetFocus(b); }), 5);
    a.SetVisible(false);
    EXPECT_EQ(ErrorOf([&] { c.form->SetFocus(a); }), 5);
    EXPECT_EQ(ErrorOf([&] { c.form->SetFocus(c.form->Item("lblInfo")); }), 5);

    a.SetVisible(true);
    c.form->SetFocus(a);
    c.events.clear();
    c.form->Unload();  // no LostFocus on unload
    EXPECT_TRUE(c.events.empty());
}

TEST(Form, ObserversSeeChangesAndMayUnsubscribeWhileTold) {
    Choice c;
    c.form->Load();
    std::vector<Change> seen;
    Subscription second;
    Subscription first = c.form->Subscribe([&](Form&, Control*, Change ch) {
        seen.push_back(ch);
        second.Reset();  // drops the other observer in the middle of a notification
    });
    int secondCalls = 0;
    second = c.form->Subscribe([&](Form&, Control*, Change) { ++secondCalls; });
    c.form->Get<Label>("lblInfo").SetCaption("x");
    c.form->SetTop(120);
    c.form->Unload();
    EXPECT_EQ(secondCalls, 0);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0], Change::Caption);
    EXPECT_EQ(seen[1], Change::Position);
    EXPECT_EQ(seen.back(), Change::Structure);
    first.Reset();
    c.form->SetTop(240);
    EXPECT_EQ(seen.back(), Change::Structure);
}

TEST(Form, SubscriptionOutlivesItsForm) {
    Subscription sub;
    {
        auto form = Form::Create(std::make_shared<HeadlessDesktop>(), "frmIcons", nullptr);
        sub = form->Subscribe([](Form&, Control*, Change) {});
    }
    sub.Reset();  // the form is gone: nothing to do, nothing to crash
    Subscription moved = std::move(sub);
}

TEST(Form, WindowPropertiesAndCalls) {
    auto desktop = std::make_shared<HeadlessDesktop>();
    desktop->AddWindow(4711);
    auto form = Form::Create(desktop, "frmKat1", nullptr);
    for (int bad : {-1, 3}) EXPECT_EQ(ErrorOf([&] { form->SetWindowState(bad); }), 380) << bad;
    form->SetWindowState(1);
    EXPECT_EQ(form->WindowState(), WindowState::Minimized);

    EXPECT_EQ(SetParent(*form, 4711), 0);
    EXPECT_EQ(form->ParentWindow(), 4711);
    EXPECT_EQ(SetParent(*form, 999), 0);  // unknown window: refused, parent unchanged
    EXPECT_EQ(form->ParentWindow(), 4711);
    EXPECT_EQ(SetParent(*form, 0), 4711);
    EXPECT_EQ(form->ParentWindow(), 0);

    EXPECT_EQ(SetWindowLongA(*form, GWL_EXSTYLE, 0x140), 0);
    EXPECT_EQ(SetWindowLongA(*form, GWL_EXSTYLE, 0x40), 0x140);
    EXPECT_EQ(ErrorOf([&] { SetWindowLongA(*form, -16, 0); }), 380);
    EXPECT_EQ(form->ExStyle(), 0x40);
}

TEST(Form, ModalShowRunsTheQueuedAnswer) {
    Choice c;
    c.desktop->QueueAnswer([](Form& f) {
        f.Get<OptionButton>("optTabelle", 1).Click();
        EXPECT_TRUE(f.Modal());
        EXPECT_EQ(ErrorOf([&] { f.Show(true); }), 401);
        f.Get<CommandButton>("cmdEnde").Click();
    });
    c.form->Show(true);
    EXPECT_TRUE(c.Opt(1).Value());
    EXPECT_FALSE(c.form->Visible());
    EXPECT_FALSE(c.form->Modal());
    EXPECT_TRUE(c.form->Loaded());

    c.form->Show(true);  // nothing queued: hidden again, as confirmed unchanged
    EXPECT_FALSE(c.form->Visible());
    EXPECT_TRUE(c.Opt(1).Value());
    EXPECT_EQ(c.desktop->ModalRuns(), (std::vector<std::string>{"G_frmTabelle", "G_frmTabelle"}));
    EXPECT_EQ(c.desktop->PendingAnswers(), 0u);
}

TEST(Form, DesktopKnowsTheLastModelessFormWhileItLives) {
    auto desktop = std::make_shared<HeadlessDesktop>();
    auto dialog = Form::Create(desktop, "frmKat5", nullptr);
    auto choice = Form::Create(desktop, "G_frmTabelle", nullptr);
    dialog->Show();
    choice->Show(true);  // a modal form in between does not count
    EXPECT_EQ(desktop->LastModeless(), dialog);
    dialog.reset();
    EXPECT_EQ(desktop->LastModeless(), nullptr);
}

TEST(Form, ImageListAndCombo) {
    auto form = Form::Create(std::make_shared<HeadlessDesktop>(), "frmIcons", [](Form& f) {
        auto& il = f.Add<ImageList>("ImageList1", {});
        il.Add("OK", Picture{1, 1, {0xFF00FF00u}});
        auto& cmb = f.Add<ComboBox>("cmbKlassifizierung", {});
        cmb.AddItem("Kreisstraßen");
        cmb.AddItem("Wege");
    });
    auto& il = form->Get<ImageList>("ImageList1");
    EXPECT_EQ(il.Picture("OK").argb.front(), 0xFF00FF00u);
    EXPECT_EQ(ErrorOf([&] { il.Picture("Abbruch"); }), 35601);
    EXPECT_EQ(ErrorOf([&] { il.Add("OK", {}); }), 35602);

    auto& cmb = form->Get<ComboBox>("cmbKlassifizierung");
    cmb.SetListIndex(1);
    EXPECT_EQ(cmb.Text(), "Wege");
    cmb.SetText("Kreisstraßen");
    EXPECT_EQ(cmb.ListIndex(), 0);
    cmb.SetText("frei");
    EXPECT_EQ(cmb.ListIndex(), -1);
    EXPECT_EQ(ErrorOf([&] { cmb.SetListIndex(2); }), 380);
    EXPECT_EQ(ErrorOf([&] { cmb.SetListIndex(-2); }), 380);
}

}  // namespace
}  // namespace kado::forms
