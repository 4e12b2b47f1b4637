// Fixture of the Qt view tests: a Qt desktop, a probe form with one control of
// each kind, and the event trail its handlers leave.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/qt/qt_desktop.h"
#include "support/shots.h"

namespace qt_test {

using namespace kado::forms;

inline Picture Square(int size, std::uint32_t argb) {
    return Picture{size, size, std::vector<std::uint32_t>(static_cast<std::size_t>(size * size), argb)};
}

class QtFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        desktop_->SetFailureSink([this](const std::string& f) { failures_.push_back(f); });
    }
    void TearDown() override {
        forms_.clear();
        desktop_.reset();
        // Windows go by deferred deletion.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }

    // Form layout: label and masked field on row 0, check box on row 1, a frame with
    // three options on row 2, a combo box on row 3, the button on row 4.
    std::shared_ptr<Form> MakeProbe(const std::string& name = "frmProbe", WindowHandle parent = 0) {
        auto form = Form::Create(desktop_, name, [this, parent](Form& f) {
            f.SetCaption("Probe");
            auto& lbl = f.Add<Label>("lblBezug", {0, 0});
            lbl.SetCaption("Anteil am Gesamtwert");
            auto& msk = f.Add<MaskEdBox>("mskBezug", {0, 1});
            msk.SetMask("####,##");
            msk.SetWidthChars(8);
            msk.OnGotFocus([&msk, this] {
                trail_.push_back("mskBezug.GotFocus");
                msk.SetSelStart(0);
                msk.SetSelLength(255);
            });
            msk.OnLostFocus([this] { trail_.push_back("mskBezug.LostFocus"); });
            // The model decides what a key does: this field takes no 9.
            msk.OnKeyPress([](int& code) {
                if (code == '9') code = 0;
            });
            auto& chk = f.Add<CheckBox>("chkErmäßigung", {1, 0, 1, 2});
            chk.SetCaption("Ermäßigung");
            chk.OnGotFocus([this] { trail_.push_back("chkErmäßigung.GotFocus"); });
            chk.OnClick([this] { trail_.push_back("chkErmäßigung.Click"); });
            auto& fra = f.Add<Frame>("fraWahl", {2, 0, 1, 2});
            fra.SetCaption("zu bearbeitende Tabelle auswählen");
            f.Add<OptionButton>("optNeu", {0, 0}, -1, "fraWahl").SetCaption("neuer Abrechnungspunkt");
            for (int i = 0; i < 2; ++i)
                f.Add<OptionButton>("optTabelle", {i + 1, 0}, i, "fraWahl")
                    .SetCaption(std::to_string(i + 1) + ". vorhandener Eintrag");
            auto& cmb = f.Add<ComboBox>("cmbKlassifizierung", {3, 0, 1, 2});
            cmb.AddItem("Kreisstraßen, Gemeindestraßen");
            cmb.AddItem("Wege, sonstige Gewässer, Dämme");
            auto& cmd = f.Add<CommandButton>("cmdEnde", {4, 1});
            cmd.SetCaption("OK");
            cmd.SetPicture(Square(16, 0xFF208020));
            cmd.OnClick([this, &f] {
                trail_.push_back("cmdEnde.Click");
                f.Hide();
            });
            f.OnLoad([&f, parent] {
                f.Get<OptionButton>("optNeu").SetValue(true);
                if (parent != 0) SetParent(f, parent);
            });
            f.OnUnload([this] { trail_.push_back("Form_Unload"); });
        });
        forms_.push_back(form);
        return form;
    }

    template <class W>
    W* WidgetOf(Form& form, std::string_view key) {
        return dynamic_cast<W*>(desktop_->WidgetOf(form.ItemByKey(key)));
    }

    // Shows the form modelessly and waits until its window is active.
    QWidget* ShowActive(Form& form) {
        form.Show();
        QWidget* w = desktop_->WindowOf(form);
        if (w && w->isWindow()) {
            w->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        }
        QApplication::processEvents();
        return w;
    }

    // Clicks a check box or option where its box is drawn, as a user does.
    static void ClickBox(QWidget* w) {
        ASSERT_NE(w, nullptr);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
    }

    static std::filesystem::path OutputDir() {
        return kado::testing::ShotsDir();
    }

    std::shared_ptr<kado::qtview::QtDesktop> desktop_ = std::make_shared<kado::qtview::QtDesktop>();
    std::vector<std::shared_ptr<Form>> forms_;
    std::vector<std::string> trail_;
    std::vector<std::string> failures_;
};

}  // namespace qt_test
