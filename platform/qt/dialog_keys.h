// The keyboard of a form's window, the same for every form: Enter presses the
// default button, Esc the cancel button, Ctrl+F4 closes a document window,
// Alt+letter reaches the form's own captions before the host's menus, and the
// arrow keys move within an option group.
#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

namespace kado::qtview {

class FormView;

class DialogKeys final : public QObject {
public:
    DialogKeys(FormView& view, QObject* parent) : QObject(parent), view_(&view) {}
    void Detach() { view_ = nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the key is the form's; runs what it does when `act`.
    bool Handle(QWidget* focus, const QKeyEvent& key, bool act);

    FormView* view_;
};

}  // namespace kado::qtview
