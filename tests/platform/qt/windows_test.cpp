// Forms as windows: document-area children or top-level, modal runs, the busy
// cursor, placement in twips, and a screenshot of a rendered form.
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "platform/com/error.h"
#include "platform/qt/units.h"
#include "qt_fixture.h"

namespace qt_test {
namespace {

using kado::qtview::TwipsToPixels;

class WindowsTest : public QtFormTest {
protected:
    double Dpi() const { return QGuiApplication::primaryScreen()->logicalDotsPerInchY(); }
};

TEST_F(WindowsTest, ParentNamingADocumentAreaMakesASubwindow) {
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    desktop_->RegisterDocumentArea(4711, &area);
    EXPECT_TRUE(desktop_->KnowsWindow(4711));
    EXPECT_FALSE(desktop_->KnowsWindow(4712));

    auto child = MakeProbe("frmKind", 4711);
    child->Show();
    auto* sub = qobject_cast<QMdiSubWindow*>(desktop_->WindowOf(*child));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->mdiArea(), &area);
    EXPECT_TRUE(sub->isVisible());
    EXPECT_EQ(sub->windowTitle(), QString("Probe"));

    auto top = MakeProbe("frmOben", 0);
    top->Show();
    QWidget* w = desktop_->WindowOf(*top);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_FALSE(qobject_cast<QMdiSubWindow*>(w));

    // An unknown handle leaves the window where it is.
    EXPECT_EQ(SetParent(*top, 99), 0);
    EXPECT_EQ(desktop_->WindowOf(*top), w);
    // Parenting a shown top-level form moves it into the area, and back out with 0.
    SetParent(*top, 4711);
    auto* moved = qobject_cast<QMdiSubWindow*>(desktop_->WindowOf(*top));
    ASSERT_NE(moved, nullptr);
    EXPECT_TRUE(moved->isVisible());
    EXPECT_EQ(area.subWindowList().size(), 2);
    SetParent(*top, 0);
    EXPECT_TRUE(desktop_->WindowOf(*top)->isWindow());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(area.subWindowList().size(), 1);

    // The style call alone keeps the window.
    SetWindowLongA(*child, GWL_EXSTYLE, 0x140);
    EXPECT_EQ(desktop_->WindowOf(*child), sub);
    EXPECT_THROW(desktop_->RegisterDocumentArea(0, &area), kado::com::Error);
}

TEST_F(WindowsTest, ClosedDocumentAreaLeavesATopLevelWindowNextTime) {
    auto area = std::make_unique<QMdiArea>();
    area->show();
    desktop_->RegisterDocumentArea(5, area.get());
    auto form = MakeProbe("frmKind", 5);
    form->Show();
    ASSERT_NE(desktop_->WindowOf(*form), nullptr);
    // The host closes its window with the subwindow inside.
    area.reset();
    EXPECT_EQ(desktop_->WindowOf(*form), nullptr);
    EXPECT_FALSE(desktop_->KnowsWindow(5));
    form->Get<Label>("lblBezug").SetCaption("noch da");
    form->Show();
    QWidget* w = desktop_->WindowOf(*form);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(WidgetOf<QLabel>(*form, "lblBezug")->text(), QString("noch da"));
}

TEST_F(WindowsTest, CloseBoxUnloadsTheForm) {
    QMdiArea area;
    area.show();
    desktop_->RegisterDocumentArea(7, &area);
    for (WindowHandle parent : {WindowHandle{0}, WindowHandle{7}}) {
        SCOPED_TRACE(parent);
        trail_.clear();
        auto form = MakeProbe("frmZu" + std::to_string(parent), parent);
        form->Show();
        QWidget* w = desktop_->WindowOf(*form);
        ASSERT_NE(w, nullptr);
        w->close();
        EXPECT_FALSE(form->Loaded());
        EXPECT_EQ(trail_, std::vector<std::string>{"Form_Unload"});
        EXPECT_EQ(desktop_->WindowOf(*form), nullptr);
    }
}

TEST_F(WindowsTest, ModalFormRunsUntilHidden) {
    auto form = MakeProbe("G_frmTabelle");
    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        QWidget* w = desktop_->WindowOf(*form);
        ASSERT_NE(w, nullptr);
        sawModal = w->isVisible() && w->windowModality() == Qt::ApplicationModal;
        ClickBox(WidgetOf<QRadioButton>(*form, "optTabelle(1)"));
        QTest::mouseClick(WidgetOf<QPushButton>(*form, "cmdEnde"), Qt::LeftButton);
    });
    form->Show(true);
    EXPECT_TRUE(sawModal);
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(form->Loaded());
    EXPECT_TRUE(form->Get<OptionButton>("optTabelle", 1).Value());
    EXPECT_FALSE(desktop_->WindowOf(*form)->isVisible());
    EXPECT_EQ(trail_.back(), "cmdEnde.Click") << ::testing::PrintToString(trail_);

    // Shown again it keeps the choice; the close box ends the wait as well, unloading the form.
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(WidgetOf<QRadioButton>(*form, "optTabelle(1)")->isChecked());
        desktop_->WindowOf(*form)->close();
    });
    form->Show(true);
    EXPECT_FALSE(form->Loaded());
}

TEST_F(WindowsTest, ModalShowsAreTopLevelAndLaterModelessShowsAreNot) {
    QMdiArea area;
    area.show();
    desktop_->RegisterDocumentArea(9, &area);
    for (WindowHandle parent : {WindowHandle{0}, WindowHandle{9}}) {
        SCOPED_TRACE(parent);
        auto form = MakeProbe("frmWahl" + std::to_string(parent), parent);
        form->Show();
        form->Hide();
        bool topLevel = false;
        Qt::WindowModality modality = Qt::NonModal;
        QTimer::singleShot(0, [&] {
            QWidget* w = desktop_->WindowOf(*form);
            topLevel = w->isWindow();
            modality = w->windowModality();
            form->Hide();
        });
        form->Show(true);
        EXPECT_TRUE(topLevel);
        EXPECT_EQ(modality, Qt::ApplicationModal);
        form->Show();
        QWidget* w = desktop_->WindowOf(*form);
        EXPECT_EQ(w->windowModality(), Qt::NonModal);
        EXPECT_EQ(qobject_cast<QMdiSubWindow*>(w) != nullptr, parent != 0);
        EXPECT_TRUE(w->isVisible());
    }
}

TEST_F(WindowsTest, HourglassShowsTheBusyCursor) {
    auto form = MakeProbe();
    form->Show();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form->SetMousePointer(MousePointer::Hourglass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // A second busy form does not stack a second cursor.
    auto other = MakeProbe("frmZwei");
    other->Show();
    other->SetMousePointer(MousePointer::Hourglass);
    form->SetMousePointer(MousePointer::Default);
    EXPECT_TRUE(desktop_->BusyCursorShown());
    // Unloading the busy form gives the normal cursor back.
    other->Unload();
    EXPECT_FALSE(desktop_->BusyCursorShown());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowsTest, BusyCursorAlsoWhileAFormLoadsWithoutAWindow) {
    bool busyDuringLoad = false;
    auto form = Form::Create(desktop_, "frmLaden", [&](Form& f) {
        f.OnLoad([&] {
            f.SetMousePointer(MousePointer::Hourglass);
            busyDuringLoad = desktop_->BusyCursorShown();
            f.SetMousePointer(MousePointer::Default);
        });
    });
    form->Load();
    EXPECT_TRUE(busyDuringLoad);
    EXPECT_FALSE(desktop_->BusyCursorShown());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowsTest, PlacementIsInTwipsBothWays) {
    auto form = MakeProbe();
    form->Load();
    form->SetTop(1500);
    form->SetLeft(3000);
    form->Show();
    QWidget* w = desktop_->WindowOf(*form);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->pos(), QPoint(TwipsToPixels(3000, Dpi()), TwipsToPixels(1500, Dpi())));
    if (Dpi() == 96) {
        EXPECT_EQ(w->pos(), QPoint(200, 100));
    }

    // The model moves the window; a place that rounds to the same pixel stays as set.
    form->SetTop(1507);
    EXPECT_EQ(w->pos().y(), TwipsToPixels(1507, Dpi()));
    EXPECT_EQ(form->Top(), 1507);

    // The user moves it: the model gets the real place.
    w->move(40, 30);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(form->Left(), 40 * 1440.0 / Dpi());
    EXPECT_DOUBLE_EQ(form->Top(), 30 * 1440.0 / Dpi());

    form->SetWindowState(2);
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    w->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(form->WindowState(), WindowState::Normal);
    w->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(form->WindowState(), WindowState::Minimized);
}

TEST_F(WindowsTest, SubwindowPlacementIsInTheArea) {
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    desktop_->RegisterDocumentArea(3, &area);
    auto form = MakeProbe("frmKind", 3);
    form->Load();
    form->SetLeft(1500);
    form->SetTop(750);
    form->Show();
    QWidget* sub = desktop_->WindowOf(*form);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->pos(), QPoint(TwipsToPixels(1500, Dpi()), TwipsToPixels(750, Dpi())));
    sub->move(10, 20);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(form->Top(), 20 * 1440.0 / Dpi());
    static_cast<QMdiSubWindow*>(sub)->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(form->WindowState(), WindowState::Maximized);
    // Maximised, the last normal place stays in the model.
    EXPECT_DOUBLE_EQ(form->Top(), 20 * 1440.0 / Dpi());
}

TEST_F(WindowsTest, ScreenshotOfTheProbeForm) {
    auto form = MakeProbe();
    form->Load();
    form->Get<MaskEdBox>("mskBezug").SetText("1000,00");
    form->SetIcon(Square(16, 0xFF3060C0));
    QWidget* w = ShowActive(*form);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->windowIcon().isNull());
    const QImage shot = w->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_GT(shot.width(), 150);
    EXPECT_GT(shot.height(), 150);
    const auto path = OutputDir() / "qt_probe_form.png";
    EXPECT_TRUE(shot.save(QString::fromStdString(path.string())));
}

}  // namespace
}  // namespace qt_test
