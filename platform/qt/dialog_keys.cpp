#include "platform/qt/dialog_keys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPointer>
#include <algorithm>

#include "platform/qt/form_view.h"

namespace kado::qtview {
namespace {

// Focus first, as a click would: the field being left gets its LostFocus
// (and its recalculation) before the button acts.
void FocusAndClick(QWidget* widget) {
    QPointer<QWidget> w = widget;
    if (!w->hasFocus()) w->setFocus(Qt::ShortcutFocusReason);
    if (auto* button = qobject_cast<QAbstractButton*>(w.data())) button->click();
}

}  // namespace

bool DialogKeys::eventFilter(QObject* watched, QEvent* event) {
    if (!view_ || (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->hasFocus()) return false;
    const bool act = event->type() == QEvent::KeyPress;
    if (!Handle(widget, *static_cast<QKeyEvent*>(event), act)) return false;
    // An accepted override keeps the key from the window's shortcuts (the host's menu bar).
    event->accept();
    return true;
}

bool DialogKeys::Handle(QWidget* focus, const QKeyEvent& key, bool act) {
    FormView& view = *view_;
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    const forms::Control* focused = view.ControlOf(focus);
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            if (mods != Qt::NoModifier) return false;
            QWidget* target = focused && focused->Kind() == forms::ControlKind::CommandButton ? focus : nullptr;
            if (!target) {
                const forms::Control* d = view.DefaultButton();
                target = d && view.Reachable(*d) ? view.WidgetOf(*d) : nullptr;
            }
            if (!target) return false;
            if (act) FocusAndClick(target);
            return true;
        }
        case Qt::Key_Escape: {
            if (mods != Qt::NoModifier) return false;
            if (!act) return true;
            const forms::Control* c = view.CancelButton();
            if (auto* button = c && view.Reachable(*c) ? qobject_cast<QAbstractButton*>(view.WidgetOf(*c)) : nullptr)
                button->click();
            else if (!c)
                view.CloseRequested();  // no cancel button: as the close box
            return true;
        }
        case Qt::Key_F4:
            if (mods != Qt::ControlModifier || !view.InDocumentArea()) return false;
            if (act) view.CloseRequested();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right: {
            if (mods != Qt::NoModifier || !focused || focused->Kind() != forms::ControlKind::OptionButton) return false;
            std::vector<const forms::Control*> group;
            for (const forms::Control* c : view.Order()) {
                if (c->Kind() == forms::ControlKind::OptionButton && c->Container() == focused->Container() &&
                    (c == focused || view.Reachable(*c)))
                    group.push_back(c);
            }
            const auto at = std::find(group.begin(), group.end(), focused) - group.begin();
            const bool back = key.key() == Qt::Key_Up || key.key() == Qt::Key_Left;
            const auto n = static_cast<std::ptrdiff_t>(group.size());
            const forms::Control* next = group[static_cast<size_t>((at + (back ? n - 1 : 1)) % n)];
            if (act && next != focused) FocusAndClick(view.WidgetOf(*next));
            return true;
        }
        default:
            break;
    }
    if (mods != Qt::AltModifier) return false;
    // Alt+letter: with Alt the key's text may be empty or shifted; the key code names the letter.
    QChar letter;
    if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z) letter = QChar(static_cast<char16_t>('a' + (key.key() - Qt::Key_A)));
    else if (key.key() >= Qt::Key_0 && key.key() <= Qt::Key_9) letter = QChar(static_cast<char16_t>(key.key()));
    else if (!key.text().isEmpty()) letter = key.text().at(0).toLower();
    else return false;
    const forms::Control* target = view.MnemonicTarget(letter);
    if (!target) return false;
    if (act) {
        QWidget* w = view.WidgetOf(*target);
        if (target->Kind() == forms::ControlKind::CommandButton || target->Kind() == forms::ControlKind::CheckBox ||
            target->Kind() == forms::ControlKind::OptionButton)
            FocusAndClick(w);
        else
            w->setFocus(Qt::ShortcutFocusReason);
    }
    return true;
}

}  // namespace kado::qtview
