#include "platform/qt/bound_widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <array>
#include <string_view>
#include <utility>

#include "platform/forms/forms.h"
#include "platform/qt/units.h"

namespace kado::qtview {
namespace {

// Keys that only move the caret or the selection; QLineEdit may handle them itself.
bool IsNavigation(QKeyEvent* e) {
    static constexpr std::array keys = {
        QKeySequence::MoveToNextChar,      QKeySequence::MoveToPreviousChar, QKeySequence::MoveToNextWord,
        QKeySequence::MoveToPreviousWord,  QKeySequence::MoveToStartOfLine,  QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToStartOfBlock,  QKeySequence::MoveToEndOfBlock,   QKeySequence::MoveToStartOfDocument,
        QKeySequence::MoveToEndOfDocument, QKeySequence::SelectNextChar,     QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextWord,      QKeySequence::SelectPreviousWord, QKeySequence::SelectStartOfLine,
        QKeySequence::SelectEndOfLine,     QKeySequence::SelectStartOfBlock, QKeySequence::SelectEndOfBlock,
        QKeySequence::SelectStartOfDocument, QKeySequence::SelectEndOfDocument, QKeySequence::SelectAll,
        QKeySequence::Copy,
    };
    for (auto k : keys) {
        if (e->matches(k)) return true;
    }
    return false;
}

// Code points of a masked text up to and with its last filled placeholder.
int FilledLength(const std::string& mask, const std::u32string& text) {
    static constexpr std::u32string_view kPlaceholders = U"#9?Aa&C";
    const std::u32string m = QString::fromStdString(mask).toStdU32String();
    int end = 0;
    size_t at = 0;
    for (size_t i = 0; i < m.size() && at < text.size(); ++i, ++at) {
        if (m[i] == U'\\') {
            ++i;  // a literal
            continue;
        }
        if (kPlaceholders.find(m[i]) != std::u32string_view::npos && text[at] != U' ') end = static_cast<int>(at) + 1;
    }
    return end;
}

}  // namespace

ModelLineEdit::ModelLineEdit(std::weak_ptr<Link> link, QWidget* parent) : Bound(std::move(link), parent) {
    // Menus, drops and undo would edit the text behind the model's back.
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setAcceptDrops(false);
    connect(this, &QLineEdit::selectionChanged, this, [this] { PushSelection(); });
    connect(this, &QLineEdit::cursorPositionChanged, this, [this](int, int) { PushSelection(); });
}

int ModelLineEdit::WidthForChars(int chars) const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QMargins margins = textMargins();
    // QLineEdit keeps two pixels beside its text on either side.
    const int text = chars * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4 + margins.left() + margins.right();
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, fontMetrics().height()), this).width();
}

void ModelLineEdit::PushSelection() {
    auto l = Live();
    if (!l || l->binder->Syncing()) return;
    auto* box = dynamic_cast<forms::TextBox*>(l->control);
    if (!box) return;
    const QString t = text();
    int start = cursorPosition();
    int length = 0;
    if (hasSelectedText()) {
        start = selectionStart();
        length = selectionLength();
    }
    const int cpStart = CodePointIndex(t, start);
    const int cpLength = CodePointIndex(t, start + length) - cpStart;
    if (cpStart == box->SelStart() && cpLength == box->SelLength()) return;
    l->binder->Push(*box, [&] {
        box->SetSelStart(cpStart);
        box->SetSelLength(cpLength);
    });
}

void ModelLineEdit::TypeText(const QString& text) {
    for (char32_t ch : text.toStdU32String()) {
        auto l = Live();
        if (!l) return;
        if (ch < 0x20 && ch != U'\b') continue;
        forms::Control& c = *l->control;
        l->binder->Push(c, [&] { c.TypeChar(ch); });
    }
}

void ModelLineEdit::keyPressEvent(QKeyEvent* e) {
    auto l = Live();
    if (!l) {
        e->ignore();
        return;
    }
    if (IsNavigation(e)) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    e->accept();
    if (e->matches(QKeySequence::Paste)) {
        TypeText(QApplication::clipboard()->text());
        return;
    }
    auto* box = dynamic_cast<forms::TextBox*>(l->control);
    if (e->matches(QKeySequence::Cut)) {
        copy();
        if (box) l->binder->Push(*box, [&] { box->DeleteForward(); });
        return;
    }
    switch (e->key()) {
        case Qt::Key_Delete:
            if (box) l->binder->Push(*box, [&] { box->DeleteForward(); });
            return;
        case Qt::Key_Backspace:
            TypeText(QString(QChar(forms::key::Backspace)));
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            e->ignore();
            return;
        default:
            break;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return;
    TypeText(e->text());
}

void ModelLineEdit::focusInEvent(QFocusEvent* e) {
    // Qt gives the focus before it delivers the press that asked for it.
    auto l = Live();
    const bool masked = l && l->control->Kind() == forms::ControlKind::MaskEdBox;
    enteredByClick_ = masked && e->reason() == Qt::MouseFocusReason && (QApplication::mouseButtons() & Qt::LeftButton);
    Bound::focusInEvent(e);
}

void ModelLineEdit::mousePressEvent(QMouseEvent* e) {
    // Clicking into a masked field enters it as Tab does: the selection its GotFocus made stands.
    if (enteredByClick_ && Live()) {
        e->accept();
        return;
    }
    enteredByClick_ = false;
    QLineEdit::mousePressEvent(e);
    KeepCaretAtInput();
}

void ModelLineEdit::mouseMoveEvent(QMouseEvent* e) {
    if (enteredByClick_ && Live()) {
        e->accept();
        return;
    }
    QLineEdit::mouseMoveEvent(e);
}

void ModelLineEdit::mouseReleaseEvent(QMouseEvent* e) {
    if (std::exchange(enteredByClick_, false) && Live()) {
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void ModelLineEdit::KeepCaretAtInput() {
    auto l = Live();
    auto* masked = l ? dynamic_cast<forms::MaskEdBox*>(l->control) : nullptr;
    if (!masked || masked->Mask().empty() || hasSelectedText()) return;
    const QString t = text();
    const int end = Utf16Index(t, FilledLength(masked->Mask(), t.toStdU32String()));
    if (cursorPosition() > end) setCursorPosition(end);
}

void ModelLineEdit::inputMethodEvent(QInputMethodEvent* e) {
    // Composed text arrives as typed characters once it is committed.
    if (!e->commitString().isEmpty()) TypeText(e->commitString());
    e->accept();
}

void ModelCheckBox::nextCheckState() {
    auto l = Live();
    if (!l) return QCheckBox::nextCheckState();
    forms::Control& c = *l->control;
    l->binder->Push(c, [&] { c.Click(); });
}

ModelOptionButton::ModelOptionButton(std::weak_ptr<Link> link, QWidget* parent) : Bound(std::move(link), parent) {
    // The model clears the rest of the group.
    setAutoExclusive(false);
}

void ModelOptionButton::nextCheckState() {
    auto l = Live();
    if (!l) return QRadioButton::nextCheckState();
    forms::Control& c = *l->control;
    l->binder->Push(c, [&] { c.Click(); });
}

ModelComboBox::ModelComboBox(std::weak_ptr<Link> link, QWidget* parent) : Bound(std::move(link), parent) {
    connect(this, &QComboBox::activated, this, [this](int index) {
        auto l = Live();
        if (!l) return;
        auto* combo = dynamic_cast<forms::ComboBox*>(l->control);
        if (combo) l->binder->Push(*combo, [&] { combo->SetListIndex(index); });
    });
}

ModelButton::ModelButton(std::weak_ptr<Link> link, QWidget* parent) : Bound(std::move(link), parent) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] {
        auto l = Live();
        if (!l) return;
        forms::Control& c = *l->control;
        l->binder->Push(c, [&] { c.Click(); });
    });
}

}  // namespace kado::qtview
