// A form's window as a user sees it, measured on the real widgets: controls
// out of the window, on one another or cut off, and the order Tab takes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QTest>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/qt/qt_desktop.h"

namespace kado::testing {

// The area the controls live in: the window, or the widget of a subwindow.
inline QWidget* ClientOf(QWidget* window) {
    auto* sub = qobject_cast<QMdiSubWindow*>(window);
    return sub ? sub->widget() : window;
}

inline QRect RectIn(const QWidget* w, const QWidget* client) { return {w->mapTo(client, QPoint(0, 0)), w->size()}; }

inline std::vector<QWidget*> Shown(const qtview::QtDesktop& desktop, const forms::Form& form) {
    std::vector<QWidget*> shown;
    for (const forms::Control* c : form.Controls())
        if (QWidget* w = desktop.WidgetOf(*c); w && w->isVisible()) shown.push_back(w);
    return shown;
}

// One line a fault: a control leaving the window, narrower than its text (or a
// combo box than its longest entry), or on another one (a frame around it aside).
inline std::vector<std::string> LayoutFaults(const qtview::QtDesktop& desktop, const forms::Form& form) {
    QWidget* client = ClientOf(desktop.WindowOf(form));
    const auto shown = Shown(desktop, form);
    std::vector<std::string> faults;
    for (size_t i = 0; i < shown.size(); ++i) {
        const QRect a = RectIn(shown[i], client);
        const std::string name = shown[i]->objectName().toStdString();
        if (!client->rect().contains(a)) faults.push_back(name + " leaves the window");
        if (shown[i]->width() < shown[i]->minimumSizeHint().width()) faults.push_back(name + " is cut off");
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const QRect b = RectIn(shown[j], client);
            const bool framed = (qobject_cast<QGroupBox*>(shown[i]) && a.contains(b)) ||
                                (qobject_cast<QGroupBox*>(shown[j]) && b.contains(a));
            if (!framed && a.intersects(b))
                faults.push_back(name + " and " + shown[j]->objectName().toStdString() + " overlap");
        }
    }
    return faults;
}

// The reachable controls as Tab visits them from the first, and as they stand:
// line by line from the top (middles level within two pixels), left to right.
inline std::pair<std::vector<std::string>, std::vector<std::string>> TabOrder(const qtview::QtDesktop& desktop,
                                                                              const forms::Form& form) {
    QWidget* client = ClientOf(desktop.WindowOf(form));
    std::vector<QWidget*> reach;
    for (QWidget* w : Shown(desktop, form))
        if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) reach.push_back(w);
    auto mid = [&](QWidget* w) { return RectIn(w, client).center().y(); };
    auto left = [&](QWidget* w) { return RectIn(w, client).x(); };
    std::stable_sort(reach.begin(), reach.end(), [&](QWidget* a, QWidget* b) { return mid(a) < mid(b); });
    for (auto line = reach.begin(); line != reach.end();) {
        auto end = std::find_if(line, reach.end(), [&](QWidget* w) { return mid(w) - mid(*line) > 2; });
        std::stable_sort(line, end, [&](QWidget* a, QWidget* b) { return left(a) < left(b); });
        line = end;
    }
    std::vector<std::string> visited, placed;
    // Keys go to the active window only: a real X server without a window manager activates none by itself.
    client->window()->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(client->window()));
    if (!reach.empty()) reach.front()->setFocus(Qt::TabFocusReason);
    for (QWidget* w : reach) {
        placed.push_back(w->objectName().toStdString());
        QWidget* now = QApplication::focusWidget();
        visited.push_back(now ? now->objectName().toStdString() : "(none)");
        if (now) QTest::keyClick(now, Qt::Key_Tab);
    }
    return {visited, placed};
}

}  // namespace kado::testing
