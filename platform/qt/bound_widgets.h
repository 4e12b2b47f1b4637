// Widgets that hand focus changes and user input to the model control they
// show instead of changing themselves.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <utility>

#include "platform/qt/binder.h"

namespace kado::qtview {

template <class Base>
class Bound : public Base {
public:
    Bound(std::weak_ptr<Link> link, QWidget* parent) : Base(parent), link_(std::move(link)) {}

protected:
    bool event(QEvent* e) override {
        // The form's accelerators are the window's keyboard's (DialogKeys) and work only while the
        // form has the focus; a button's own window-wide shortcut would fire from anywhere in the host.
        if (e->type() == QEvent::Shortcut && Live()) return true;
        return Base::event(e);
    }
    std::shared_ptr<Link> Live() const {
        auto l = link_.lock();
        return l && l->binder ? l : nullptr;
    }
    void focusInEvent(QFocusEvent* e) override {
        auto l = Live();
        if (!l) return Base::focusInEvent(e);
        l->binder->Quiet([&] { Base::focusInEvent(e); });
        if (l->binder) l->binder->FocusIn(*l->control, e->reason());
    }
    void focusOutEvent(QFocusEvent* e) override {
        auto l = Live();
        if (!l) return Base::focusOutEvent(e);
        l->binder->Quiet([&] { Base::focusOutEvent(e); });
        if (l->binder) l->binder->FocusOut(*l->control, e->reason());
    }

private:
    std::weak_ptr<Link> link_;
};

// Text box and masked edit box: every edit is a model call.
class ModelLineEdit : public Bound<QLineEdit> {
public:
    ModelLineEdit(std::weak_ptr<Link> link, QWidget* parent);
    // The width that shows so many digits in the widget's font and style.
    int WidthForChars(int chars) const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void TypeText(const QString& text);
    void PushSelection();
    // A click past a masked field's filled input positions puts the caret right after them.
    void KeepCaretAtInput();

    bool enteredByClick_ = false;  // the press that gave the focus keeps the field's own selection
};

class ModelCheckBox : public Bound<QCheckBox> {
public:
    using Bound::Bound;
protected:
    void nextCheckState() override;
};

class ModelOptionButton : public Bound<QRadioButton> {
public:
    ModelOptionButton(std::weak_ptr<Link> link, QWidget* parent);
protected:
    void nextCheckState() override;
};

class ModelComboBox : public Bound<QComboBox> {
public:
    ModelComboBox(std::weak_ptr<Link> link, QWidget* parent);
};

class ModelButton : public Bound<QPushButton> {
public:
    ModelButton(std::weak_ptr<Link> link, QWidget* parent);
};

}  // namespace kado::qtview
