// Widgets follow the model and hand user input to it.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "qt_fixture.h"

namespace qt_test {
namespace {

class ControlsTest : public QtFormTest {};

TEST_F(ControlsTest, TypingReachesTheModelWithMaskSemantics) {
    auto form = MakeProbe();
    ShowActive(*form);
    auto& msk = form->Get<MaskEdBox>("mskBezug");
    auto* edit = WidgetOf<QLineEdit>(*form, "mskBezug");
    ASSERT_NE(edit, nullptr);

    form->SetFocus(msk);
    QApplication::processEvents();
    ASSERT_TRUE(edit->hasFocus());
    // GotFocus selected everything, and the widget shows it.
    EXPECT_EQ(edit->selectedText(), QString("    ,  "));

    // Typing over the selection fills placeholders; letters and the swallowed 9 change nothing.
    QTest::keyClicks(edit, "1x92");
    EXPECT_EQ(msk.Text(), "12  ,  ");
    EXPECT_EQ(edit->text().toStdString(), msk.Text());
    EXPECT_EQ(edit->cursorPosition(), 2);
    // The comma is the next literal: the caret steps over it.
    QTest::keyClicks(edit, ",5");
    EXPECT_EQ(msk.Text(), "12  ,5 ");
    EXPECT_EQ(msk.SelStart(), 6);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(msk.Text(), "12  ,  ");
    EXPECT_EQ(edit->text().toStdString(), msk.Text());
    // Caret moves made in the widget reach the model, so Delete works where the user sees the caret.
    QTest::keyClick(edit, Qt::Key_Home);
    EXPECT_EQ(msk.SelStart(), 0);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(msk.Text(), " 2  ,  ");
    EXPECT_EQ(edit->text().toStdString(), msk.Text());
    EXPECT_TRUE(failures_.empty());
}

TEST_F(ControlsTest, SelectingInTheWidgetSetsTheModelsSelection) {
    auto form = MakeProbe();
    ShowActive(*form);
    auto& msk = form->Get<MaskEdBox>("mskBezug");
    msk.SetText("1234,56");
    form->SetFocus(msk);
    QApplication::processEvents();
    auto* edit = WidgetOf<QLineEdit>(*form, "mskBezug");
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(msk.SelStart(), 5);
    EXPECT_EQ(msk.SelLength(), 2);
    // A third step keeps growing the selection to the left.
    QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(msk.SelStart(), 4);
    EXPECT_EQ(msk.SelLength(), 3);
    QTest::keyClicks(edit, "7");
    EXPECT_EQ(msk.Text(), "1234,7 ");
}

TEST_F(ControlsTest, ClickingAnotherControlFiresLostFocusBeforeGotFocusAndClick) {
    auto form = MakeProbe();
    ShowActive(*form);
    form->SetFocus(form->Get<MaskEdBox>("mskBezug"));
    QApplication::processEvents();
    trail_.clear();

    auto* chk = WidgetOf<QCheckBox>(*form, "chkErmäßigung");
    ClickBox(chk);
    EXPECT_EQ(trail_, (std::vector<std::string>{"mskBezug.LostFocus", "chkErmäßigung.GotFocus", "chkErmäßigung.Click"}));
    EXPECT_EQ(form->Get<CheckBox>("chkErmäßigung").Value(), 1);
    EXPECT_TRUE(chk->isChecked());
    EXPECT_EQ(form->ActiveControl(), &form->Item("chkErmäßigung"));
    QTest::keyClick(chk, Qt::Key_Space);
    EXPECT_EQ(form->Get<CheckBox>("chkErmäßigung").Value(), 0);
    EXPECT_FALSE(chk->isChecked());
}

TEST_F(ControlsTest, OptionsFollowTheModelsGroup) {
    auto form = MakeProbe();
    ShowActive(*form);
    auto* fresh = WidgetOf<QRadioButton>(*form, "optNeu");
    auto* second = WidgetOf<QRadioButton>(*form, "optTabelle(1)");
    EXPECT_TRUE(fresh->isChecked());
    ClickBox(second);
    EXPECT_TRUE(form->Get<OptionButton>("optTabelle", 1).Value());
    EXPECT_FALSE(form->Get<OptionButton>("optNeu").Value());
    EXPECT_TRUE(second->isChecked());
    EXPECT_FALSE(fresh->isChecked());
    // Clicking the selected option again leaves it selected.
    ClickBox(second);
    EXPECT_TRUE(second->isChecked());
    // The options stand inside the frame's group box.
    auto* frame = WidgetOf<QGroupBox>(*form, "fraWahl");
    const QRect box(frame->mapTo(frame->window(), QPoint(0, 0)), frame->size());
    for (QWidget* option : {static_cast<QWidget*>(fresh), static_cast<QWidget*>(second)})
        EXPECT_TRUE(box.contains(QRect(option->mapTo(frame->window(), QPoint(0, 0)), option->size())));
}

TEST_F(ControlsTest, AFramesStateReachesTheControlsStandingInIt) {
    auto form = MakeProbe();
    ShowActive(*form);
    auto& frame = form->Get<Frame>("fraWahl");
    auto* option = WidgetOf<QRadioButton>(*form, "optTabelle(1)");
    frame.SetEnabled(false);
    frame.SetVisible(false);
    EXPECT_TRUE(!option->isEnabled() && !option->isVisible());
    frame.SetEnabled(true);
    EXPECT_TRUE(option->isEnabled() && !option->isVisible());
    frame.SetVisible(true);
    form->Get<OptionButton>("optTabelle", 1).SetEnabled(false);  // its own state still counts
    EXPECT_TRUE(!option->isEnabled() && option->isVisible());
    EXPECT_TRUE(WidgetOf<QCheckBox>(*form, "chkErmäßigung")->isEnabled());
}

TEST_F(ControlsTest, ChoosingAComboEntrySetsTheListIndex) {
    auto form = MakeProbe();
    ShowActive(*form);
    auto& cmb = form->Get<ComboBox>("cmbKlassifizierung");
    auto* combo = WidgetOf<QComboBox>(*form, "cmbKlassifizierung");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentIndex(), -1);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(cmb.ListIndex(), 0);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(cmb.ListIndex(), 1);
    EXPECT_EQ(cmb.Text(), "Wege, sonstige Gewässer, Dämme");
}

TEST_F(ControlsTest, ModelChangesUpdateTheWidgets) {
    auto form = MakeProbe();
    ShowActive(*form);
    auto* lbl = WidgetOf<QLabel>(*form, "lblBezug");
    auto* edit = WidgetOf<QLineEdit>(*form, "mskBezug");
    auto* chk = WidgetOf<QCheckBox>(*form, "chkErmäßigung");
    auto* combo = WidgetOf<QComboBox>(*form, "cmbKlassifizierung");
    auto* cmd = WidgetOf<QPushButton>(*form, "cmdEnde");
    auto* fra = WidgetOf<QGroupBox>(*form, "fraWahl");

    form->Get<Label>("lblBezug").SetCaption("  150,00");
    form->Get<Label>("lblBezug").SetAlignment(Alignment::Right);
    EXPECT_EQ(lbl->text(), QString("  150,00"));
    EXPECT_TRUE(lbl->alignment() & Qt::AlignRight);
    // Captions are plain text, never markup.
    form->Get<Label>("lblBezug").SetCaption("<b>fett</b>");
    EXPECT_EQ(lbl->textFormat(), Qt::PlainText);

    form->Get<MaskEdBox>("mskBezug").SetText("1000,00");
    EXPECT_EQ(edit->text(), QString("1000,00"));
    form->Get<CheckBox>("chkErmäßigung").SetValue(1);
    EXPECT_TRUE(chk->isChecked());
    form->Get<ComboBox>("cmbKlassifizierung").AddItem("Bundesfernstraßen");
    form->Get<ComboBox>("cmbKlassifizierung").SetListIndex(2);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), QString("Bundesfernstraßen"));
    form->Get<Frame>("fraWahl").SetCaption("Tabellen");
    EXPECT_EQ(fra->title(), QString("Tabellen"));

    EXPECT_FALSE(cmd->icon().isNull());
    form->Get<CommandButton>("cmdEnde").SetPicture({});
    EXPECT_TRUE(cmd->icon().isNull());

    form->Get<CheckBox>("chkErmäßigung").SetEnabled(false);
    EXPECT_FALSE(chk->isEnabled());
    form->Get<Label>("lblBezug").SetVisible(false);
    EXPECT_TRUE(lbl->isHidden());
    form->Get<Label>("lblBezug").SetVisible(true);
    EXPECT_FALSE(lbl->isHidden());
}

TEST_F(ControlsTest, ModelFocusMovesTheWidgetFocus) {
    auto form = MakeProbe();
    ShowActive(*form);
    form->SetFocus(form->Item("cmbKlassifizierung"));
    QApplication::processEvents();
    EXPECT_TRUE(WidgetOf<QComboBox>(*form, "cmbKlassifizierung")->hasFocus());
    form->SetFocus(form->Item("mskBezug"));
    QApplication::processEvents();
    EXPECT_TRUE(WidgetOf<QLineEdit>(*form, "mskBezug")->hasFocus());
    trail_.clear();
    form->KillFocus();
    QApplication::processEvents();
    EXPECT_FALSE(WidgetOf<QLineEdit>(*form, "mskBezug")->hasFocus());
    EXPECT_EQ(trail_, std::vector<std::string>{"mskBezug.LostFocus"});
}

TEST_F(ControlsTest, FocusLeavingForAnotherWindowIsNoLostFocus) {
    auto form = MakeProbe();
    ShowActive(*form);
    form->SetFocus(form->Item("mskBezug"));
    QApplication::processEvents();
    trail_.clear();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(trail_.empty());
    EXPECT_EQ(form->ActiveControl(), &form->Item("mskBezug"));
    // Coming back keeps the model's focus, without a second GotFocus.
    desktop_->WindowOf(*form)->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(desktop_->WindowOf(*form)));
    QApplication::processEvents();
    EXPECT_TRUE(trail_.empty());
    EXPECT_TRUE(WidgetOf<QLineEdit>(*form, "mskBezug")->hasFocus());
}

TEST_F(ControlsTest, ButtonThatUnloadsItsFormDoesNotCrashTheView) {
    auto form = MakeProbe();
    ShowActive(*form);
    form->Get<CommandButton>("cmdEnde").OnClick([&] { form->Unload(); });
    QTest::mouseClick(WidgetOf<QPushButton>(*form, "cmdEnde"), Qt::LeftButton);
    EXPECT_FALSE(form->Loaded());
    EXPECT_EQ(desktop_->WindowOf(*form), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Shown again, it is built anew from the design.
    ShowActive(*form);
    ASSERT_NE(desktop_->WindowOf(*form), nullptr);
    EXPECT_TRUE(desktop_->WindowOf(*form)->isVisible());
    EXPECT_NE(WidgetOf<QLineEdit>(*form, "mskBezug"), nullptr);
}

}  // namespace
}  // namespace qt_test
