// A form's window as a user sees it, measured on the real widgets: controls
// out of the window or on top of one another, text cut off, and the order Tab
// takes through the controls.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTest>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/qt/qt_desktop.h"

namespace kado::testing {

// The area the form's controls live in: the window, or the widget of a subwindow.
inline QWidget* ClientOf(QWidget* window) {
    auto* sub = qobject_cast<QMdiSubWindow*>(window);
    return sub ? sub->widget() : window;
}

inline QRect RectIn(const QWidget* w, const QWidget* client) { return {w->mapTo(client, QPoint(0, 0)), w->size()}; }

// Whether the text fits the room the widget gives it.
inline bool TextFits(QWidget* w) {
    const QFontMetrics fm = w->fontMetrics();
    if (auto* l = qobject_cast<QLabel*>(w)) return fm.horizontalAdvance(l->text()) <= l->contentsRect().width();
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        QStyleOptionFrame o;
        o.initFrom(e);
        o.rect = e->rect();
        o.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, e);
        const QRect room = e->style()->subElementRect(QStyle::SE_LineEditContents, &o, e);
        // As many digits as the field holds characters, beside QLineEdit's own two-pixel margins.
        return fm.horizontalAdvance(QString(e->text().size(), QLatin1Char('0'))) + 4 <= room.width();
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox o;
        o.initFrom(c);
        o.rect = c->rect();
        const QRect room = c->style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, c);
        for (int i = 0; i < c->count(); ++i)
            if (fm.horizontalAdvance(c->itemText(i)) > room.width()) return false;
        return true;
    }
    return w->width() >= w->sizeHint().width();
}

// What is wrong with the layout of the form's window, one line a fault: a
// control leaving the window, two controls on one another (a frame and the
// controls standing in it aside), text cut off.
inline std::vector<std::string> LayoutFaults(const qtview::QtDesktop& desktop, const forms::Form& form) {
    QWidget* client = ClientOf(desktop.WindowOf(form));
    if (!client) return {form.Name() + " has no window"};
    std::map<std::string, const forms::Control*> byKey;
    for (const forms::Control* c : form.Controls()) byKey.emplace(c->Key(), c);
    auto inside = [&](const forms::Control& c, const forms::Control& frame) {
        size_t steps = 0;
        for (std::string k = c.Container(); !k.empty() && byKey.count(k) && steps++ < byKey.size();
             k = byKey[k]->Container())
            if (k == frame.Key()) return true;
        return false;
    };
    std::vector<std::pair<const forms::Control*, QWidget*>> shown;
    for (const forms::Control* c : form.Controls()) {
        QWidget* w = desktop.WidgetOf(*c);
        if (w && w->isVisible()) shown.emplace_back(c, w);
    }
    std::vector<std::string> faults;
    for (auto [c, w] : shown) {
        if (!client->rect().contains(RectIn(w, client))) faults.push_back(c->Key() + " leaves the window");
        if (!TextFits(w)) faults.push_back(c->Key() + " cuts its text off");
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        for (size_t j = i + 1; j < shown.size(); ++j) {
            auto [a, wa] = shown[i];
            auto [b, wb] = shown[j];
            if (inside(*a, *b) || inside(*b, *a)) continue;
            if (RectIn(wa, client).intersects(RectIn(wb, client)))
                faults.push_back(a->Key() + " and " + b->Key() + " overlap");
        }
    }
    return faults;
}

// The controls a user can reach with Tab, as they stand: line by line from the
// top (a line being controls whose middles are level), left to right in a line.
inline std::vector<QWidget*> ReachableByPlace(const qtview::QtDesktop& desktop, const forms::Form& form) {
    QWidget* client = ClientOf(desktop.WindowOf(form));
    std::vector<QWidget*> reach;
    for (const forms::Control* c : form.Controls()) {
        QWidget* w = desktop.WidgetOf(*c);
        if (w && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) reach.push_back(w);
    }
    auto middle = [&](QWidget* w) { return RectIn(w, client).center().y(); };
    std::stable_sort(reach.begin(), reach.end(), [&](QWidget* a, QWidget* b) { return middle(a) < middle(b); });
    for (auto line = reach.begin(); line != reach.end();) {
        auto end = std::find_if(line, reach.end(), [&](QWidget* w) { return middle(w) - middle(*line) > 2; });
        std::stable_sort(line, end,
                         [&](QWidget* a, QWidget* b) { return RectIn(a, client).x() < RectIn(b, client).x(); });
        line = end;
    }
    return reach;
}

// The widgets that have the focus from `first` on, one Tab key after another.
inline std::vector<QWidget*> TabWalk(QWidget* first, size_t count) {
    std::vector<QWidget*> walk;
    first->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    for (size_t i = 0; i < count; ++i) {
        QWidget* now = QApplication::focusWidget();
        walk.push_back(now);
        if (!now || i + 1 == count) break;
        QTest::keyClick(now, Qt::Key_Tab);
        QApplication::processEvents();
    }
    return walk;
}

inline std::vector<std::string> Names(const std::vector<QWidget*>& widgets) {
    std::vector<std::string> names;
    for (QWidget* w : widgets) names.push_back(w ? w->objectName().toStdString() : "(none)");
    return names;
}

}  // namespace kado::testing
