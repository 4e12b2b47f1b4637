#include "platform/qt/form_view.h"

#include <QApplication>
#include <QEventLoop>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <map>
#include <set>

#include "platform/com/error.h"
#include "platform/qt/bound_widgets.h"
#include "platform/qt/frame_watcher.h"
#include "platform/qt/picture_image.h"
#include "platform/qt/units.h"

namespace kado::qtview {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

Qt::Alignment ToQt(forms::Alignment a) {
    switch (a) {
        case forms::Alignment::Right: return Qt::AlignRight | Qt::AlignVCenter;
        case forms::Alignment::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
        case forms::Alignment::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

int FromQt(Qt::WindowStates s) {
    if (s & Qt::WindowMinimized) return static_cast<int>(forms::WindowState::Minimized);
    if (s & Qt::WindowMaximized) return static_cast<int>(forms::WindowState::Maximized);
    return static_cast<int>(forms::WindowState::Normal);
}

struct SyncScope {
    explicit SyncScope(int& n) : n_(n) { ++n_; }
    ~SyncScope() { --n_; }
    SyncScope(const SyncScope&) = delete;
    SyncScope& operator=(const SyncScope&) = delete;
    int& n_;
};

void SetTextIfChanged(QLineEdit& edit, const QString& text) {
    if (edit.text() != text) edit.setText(text);
}

}  // namespace

FormView::FormView(ViewHost& host, const std::shared_ptr<forms::Form>& form)
    : host_(host), form_(form), self_(std::make_shared<FormView*>(this)) {
    subscription_ = form->Subscribe([this](forms::Form& f, forms::Control* c, forms::Change ch) { OnChange(f, c, ch); });
}

FormView::~FormView() {
    subscription_.Reset();
    *self_ = nullptr;
    if (modalLoop_) modalLoop_->quit();
    DropFrame();
}

bool FormView::Shows(const forms::Form& form) const {
    auto f = form_.lock();
    return f.get() == &form;
}

bool FormView::Busy() const {
    auto f = form_.lock();
    return f && f->Loaded() && f->MousePointer() == forms::MousePointer::Hourglass;
}

QWidget* FormView::WidgetOf(const forms::Control& control) const {
    if (!content_) return nullptr;
    auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

void FormView::Guard(const std::function<void()>& call) {
    // Qt's event delivery must never see an exception.
    try {
        call();
    } catch (const com::Error& e) {
        host_.Report("Fehler " + std::to_string(e.Number()) + ": " + e.Description());
    } catch (const std::exception& e) {
        host_.Report(e.what());
    } catch (...) {
        host_.Report("unknown failure");
    }
}

void FormView::Quiet(const std::function<void()>& widgetCode) {
    SyncScope scope(syncing_);
    widgetCode();
}

// ---- model -> widgets ------------------------------------------------------

void FormView::OnChange(forms::Form& form, forms::Control* control, forms::Change change) {
    using forms::Change;
    if (change == Change::Focus) {
        ScheduleFocus();
        return;
    }
    if (control) {
        if (control != pushing_ && WidgetOf(*control)) SyncControl(*control);
        return;
    }
    switch (change) {
        case Change::Structure:
            if (!form.Loaded()) {
                DropFrame();
            } else if (frame_) {
                DropContent();
                BuildContent(form);
            }
            host_.PointerChanged();
            break;
        case Change::Caption:
        case Change::Icon:
            ApplyTitle(form);
            break;
        case Change::WindowState:
            if (!writingBack_) ApplyState(form, form.Visible());
            break;
        case Change::Position:
            if (!writingBack_) ApplyPosition(form);
            break;
        case Change::MousePointer:
            host_.PointerChanged();
            break;
        case Change::Parent:
            // Only a change of the document area moves the window; the style alone does not.
            if (frame_ && !modalFrame_ && host_.Area(form.ParentWindow()) != area_.data()) {
                DropFrame();
                if (form.Visible()) ShowWindow(false);
            }
            break;
        case Change::Hidden:
            if (frame_) Quiet([&] { frame_->hide(); });
            break;
        default:
            break;
    }
    if (modalLoop_ && (!form.Visible() || !form.Loaded())) modalLoop_->quit();
}

void FormView::SyncControl(forms::Control& c) {
    QWidget* w = WidgetOf(c);
    if (!w) return;
    SyncScope scope(syncing_);
    using forms::ControlKind;
    switch (c.Kind()) {
        case ControlKind::Label: {
            auto& m = static_cast<forms::Label&>(c);
            auto* l = static_cast<QLabel*>(w);
            l->setText(Q(m.Caption()));
            l->setAlignment(ToQt(m.Alignment()));
            break;
        }
        case ControlKind::TextBox:
        case ControlKind::MaskEdBox: {
            auto& m = static_cast<forms::TextBox&>(c);
            auto* e = static_cast<QLineEdit*>(w);
            const QString text = Q(m.Text());
            SetTextIfChanged(*e, text);
            if (e->hasFocus()) {
                const int start = Utf16Index(text, m.SelStart());
                const int end = Utf16Index(text, m.SelStart() + m.SelLength());
                const int curStart = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
                const int curEnd = e->hasSelectedText() ? e->selectionEnd() : e->cursorPosition();
                if (curStart != start || curEnd != end) {
                    if (end > start) e->setSelection(start, end - start);
                    else e->setCursorPosition(start);
                }
            } else {
                e->setCursorPosition(0);
            }
            break;
        }
        case ControlKind::CheckBox: {
            auto& m = static_cast<forms::CheckBox&>(c);
            auto* b = static_cast<QCheckBox*>(w);
            b->setText(Q(m.Caption()));
            b->setChecked(m.Value() == 1);
            break;
        }
        case ControlKind::OptionButton: {
            auto& m = static_cast<forms::OptionButton&>(c);
            auto* b = static_cast<QRadioButton*>(w);
            b->setText(Q(m.Caption()));
            b->setChecked(m.Value());
            break;
        }
        case ControlKind::ComboBox: {
            auto& m = static_cast<forms::ComboBox&>(c);
            auto* b = static_cast<QComboBox*>(w);
            QStringList items;
            for (const auto& s : m.List()) items << Q(s);
            QStringList shown;
            for (int i = 0; i < b->count(); ++i) shown << b->itemText(i);
            if (shown != items) {
                b->clear();
                b->addItems(items);
            }
            b->setCurrentIndex(m.ListIndex());
            // Free text without a matching entry shows in place of the entry.
            b->setPlaceholderText(m.ListIndex() < 0 ? Q(m.Text()) : QString());
            break;
        }
        case ControlKind::CommandButton: {
            auto& m = static_cast<forms::CommandButton&>(c);
            auto* b = static_cast<QPushButton*>(w);
            b->setText(Q(m.Caption()));
            const QImage image = ToImage(m.Picture());
            b->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
            if (!image.isNull()) b->setIconSize(image.size());
            break;
        }
        case ControlKind::Frame:
            static_cast<QGroupBox*>(w)->setTitle(Q(static_cast<forms::Frame&>(c).Caption()));
            break;
        case ControlKind::Line:
        case ControlKind::ImageList:
            break;
    }
    w->setEnabled(c.Enabled());
    w->setVisible(c.Visible());
}

void FormView::ApplyTitle(forms::Form& form) {
    if (!frame_) return;
    frame_->setWindowTitle(Q(form.Caption()));
    frame_->setWindowIcon(ToIcon(form.Icon()));
}

double FormView::DpiX() const {
    QScreen* s = frame_ ? frame_->screen() : QGuiApplication::primaryScreen();
    return s && s->logicalDotsPerInchX() > 0 ? s->logicalDotsPerInchX() : 96.0;
}

double FormView::DpiY() const {
    QScreen* s = frame_ ? frame_->screen() : QGuiApplication::primaryScreen();
    return s && s->logicalDotsPerInchY() > 0 ? s->logicalDotsPerInchY() : 96.0;
}

void FormView::ApplyPosition(forms::Form& form) {
    if (!frame_ || form.WindowState() != forms::WindowState::Normal) return;
    const QPoint p(TwipsToPixels(form.Left(), DpiX()), TwipsToPixels(form.Top(), DpiY()));
    if (frame_->pos() != p) Quiet([&] { frame_->move(p); });
}

void FormView::ApplyState(forms::Form& form, bool show) {
    if (!frame_) return;
    SyncScope scope(syncing_);
    switch (form.WindowState()) {
        case forms::WindowState::Minimized:
            if (show) frame_->showMinimized();
            else frame_->setWindowState(Qt::WindowMinimized);
            break;
        case forms::WindowState::Maximized:
            if (show) frame_->showMaximized();
            else frame_->setWindowState(Qt::WindowMaximized);
            break;
        case forms::WindowState::Normal:
            if (show) frame_->showNormal();
            else frame_->setWindowState(Qt::WindowNoState);
            ApplyPosition(form);
            break;
    }
}

void FormView::ScheduleFocus() {
    if (!content_) return;
    // Qt may be in the middle of its own focus change; follow the model once it is done.
    std::weak_ptr<FormView*> self = self_;
    QTimer::singleShot(0, content_, [self] {
        if (auto s = self.lock(); s && *s) (*s)->ApplyFocus();
    });
}

void FormView::ApplyFocus() {
    auto form = form_.lock();
    if (!form || !content_) return;
    SyncScope scope(syncing_);
    if (forms::Control* active = form->ActiveControl()) {
        if (QWidget* w = WidgetOf(*active); w && w->isEnabled() && !w->isHidden()) {
            if (!w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
            SyncControl(*active);
        }
    } else if (QWidget* f = QApplication::focusWidget(); f && IsOwnWidget(f)) {
        f->clearFocus();
    }
}

// ---- windows -----------------------------------------------------------------

void FormView::BuildFrame(bool modal) {
    auto form = form_.lock();
    if (!form) return;
    QMdiArea* area = modal ? nullptr : host_.Area(form->ParentWindow());
    if (area) {
        holder_ = new QWidget;
        auto* sub = area->addSubWindow(holder_);
        // The form decides about closing; the subwindow must outlive a refused close.
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        frame_ = sub;
        area_ = area;
    } else {
        holder_ = new QWidget(nullptr, Qt::Window);
        frame_ = holder_;
        area_ = nullptr;
        frame_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    }
    modalFrame_ = modal;
    auto* layout = new QVBoxLayout(holder_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    watcher_ = new FrameWatcher(*this, frame_);
    frame_->installEventFilter(watcher_);
    frame_->setObjectName(Q(form->Name()));
}

void FormView::DropFrame() {
    SyncScope scope(syncing_);
    DropContent();
    if (watcher_) watcher_->Detach();
    if (frame_) {
        frame_->hide();
        frame_->deleteLater();
    }
    frame_ = nullptr;
    holder_ = nullptr;
    area_ = nullptr;
    modalFrame_ = false;
}

void FormView::DropContent() {
    SyncScope scope(syncing_);
    for (auto& l : links_) l->binder = nullptr;
    links_.clear();
    widgets_.clear();
    if (content_) {
        content_->hide();
        // Deferred: the user action that unloaded the form may still run inside one of these widgets.
        content_->deleteLater();
    }
    content_ = nullptr;
}

QWidget* FormView::MakeWidget(forms::Control& c, const std::shared_ptr<Link>& link) {
    using forms::ControlKind;
    QWidget* parent = content_;
    switch (c.Kind()) {
        case ControlKind::Label: {
            auto* l = new QLabel(parent);
            // Captions are data, never markup.
            l->setTextFormat(Qt::PlainText);
            return l;
        }
        case ControlKind::TextBox:
        case ControlKind::MaskEdBox:
            return new ModelLineEdit(link, parent);
        case ControlKind::CheckBox:
            return new ModelCheckBox(link, parent);
        case ControlKind::OptionButton:
            return new ModelOptionButton(link, parent);
        case ControlKind::ComboBox:
            return new ModelComboBox(link, parent);
        case ControlKind::CommandButton:
            return new ModelButton(link, parent);
        case ControlKind::Frame:
            return new QGroupBox(parent);
        case ControlKind::Line: {
            auto* f = new QFrame(parent);
            f->setFrameShape(QFrame::HLine);
            f->setFrameShadow(QFrame::Sunken);
            return f;
        }
        case ControlKind::ImageList:
            return nullptr;
    }
    return nullptr;
}

void FormView::BuildContent(forms::Form& form) {
    if (!holder_) return;
    SyncScope scope(syncing_);
    content_ = new QWidget(holder_);
    auto* root = new QGridLayout(content_);
    std::map<std::string, QGridLayout*> grids;
    std::map<std::string, std::string> frameParent;  // frame key -> its container
    std::vector<std::pair<forms::Control*, QWidget*>> made;
    for (forms::Control* c : form.Controls()) {
        auto link = std::make_shared<Link>(Link{this, c});
        links_.push_back(link);
        QWidget* w = MakeWidget(*c, link);
        if (!w) continue;
        w->setObjectName(Q(c->Key()));
        if (c->Kind() == forms::ControlKind::Frame) {
            grids[c->Key()] = new QGridLayout(w);
            frameParent[c->Key()] = c->Container();
        }
        made.emplace_back(c, w);
        widgets_[c] = w;
    }
    // A control sits in its frame's grid unless the frames' containers run in a circle back to it.
    auto gridFor = [&](const forms::Control& c) -> QGridLayout* {
        std::set<std::string> seen{c.Key()};
        for (std::string k = c.Container(); !k.empty(); k = frameParent[k]) {
            if (!grids.count(k) || !seen.insert(k).second) return root;
        }
        return c.Container().empty() ? root : grids[c.Container()];
    };
    QWidget* previous = nullptr;
    for (auto [c, w] : made) {
        const forms::GridPlace& p = c->Place();
        gridFor(*c)->addWidget(w, std::max(0, p.row), std::max(0, p.column), std::max(1, p.rowSpan),
                               std::max(1, p.columnSpan));
        // Hidden controls keep their place, as on the original dialogs.
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        if (c->WidthChars() > 0) {
            const int chars = c->WidthChars() * w->fontMetrics().averageCharWidth();
            w->setMinimumWidth(chars + w->fontMetrics().averageCharWidth() * 2);
        }
        if (c->Focusable()) {
            // Tab order is the order of declaration.
            if (previous) QWidget::setTabOrder(previous, w);
            previous = w;
        } else {
            w->setFocusPolicy(Qt::NoFocus);
        }
    }
    static_cast<QVBoxLayout*>(holder_->layout())->addWidget(content_);
    for (auto [c, w] : made) SyncControl(*c);
    content_->show();
    if (area_) frame_->adjustSize();
    else holder_->adjustSize();
    if (form.ActiveControl()) ScheduleFocus();
}

void FormView::ShowWindow(bool modal) {
    auto form = form_.lock();
    if (!form || !form->Loaded()) return;
    QMdiArea* wanted = modal ? nullptr : host_.Area(form->ParentWindow());
    if (frame_ && wanted != area_.data()) DropFrame();
    if (!frame_) {
        // The area may have taken the old window with it; its links go as well.
        DropContent();
        BuildFrame(modal);
    }
    if (modalFrame_ != modal) {
        // The model tells modal shows only after Shown; a top-level window switches in place.
        SyncScope scope(syncing_);
        frame_->hide();
        frame_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
        modalFrame_ = modal;
    }
    if (!content_) BuildContent(*form);
    ApplyTitle(*form);
    ApplyPosition(*form);
    ApplyState(*form, true);
    SyncScope scope(syncing_);
    // The offscreen platform used by tests knows no stacking and only warns.
    if (area_ || QGuiApplication::platformName() != QLatin1String("offscreen")) frame_->raise();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame_.data()); sub && area_) area_->setActiveSubWindow(sub);
    else frame_->activateWindow();
}

void FormView::RunModal() {
    ShowWindow(true);
    auto form = form_.lock();
    if (!form || !form->Visible() || !form->Loaded() || !frame_) return;
    form.reset();
    QEventLoop loop;
    QEventLoop* outer = modalLoop_;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = outer;
}

// ---- widgets -> model ------------------------------------------------------------

bool FormView::IsOwnWidget(QWidget* widget) const {
    return content_ && widget && (widget == content_ || content_->isAncestorOf(widget));
}

void FormView::FocusIn(forms::Control& control, Qt::FocusReason reason) {
    if (Syncing()) return;
    auto form = form_.lock();
    if (!form || form->ActiveControl() == &control) return;
    // Late activation of a window that is gone again moves no focus.
    if (!form->Visible() || !frame_ || !frame_->isVisible()) return;
    if (reason == Qt::ActiveWindowFocusReason && form->ActiveControl()) {
        // Coming back to the window: the focus stays where the model has it.
        ScheduleFocus();
        return;
    }
    Guard([&] { form->SetFocus(control); });
    if (WidgetOf(control)) SyncControl(control);
}

void FormView::FocusOut(forms::Control& control, Qt::FocusReason reason) {
    if (Syncing()) return;
    // Another window taking over, or a popup, does not make the control lose the focus.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    auto form = form_.lock();
    if (!form || form->ActiveControl() != &control) return;
    // Focus going to another control of this form: its FocusIn moves the model's focus.
    QWidget* next = QApplication::focusWidget();
    for (QWidget* w = next; w && IsOwnWidget(w); w = w->parentWidget()) {
        for (const auto& [c, bound] : widgets_) {
            if (bound == w && c->Focusable()) return;
        }
    }
    Guard([&] { form->KillFocus(); });
}

void FormView::Push(forms::Control& control, const std::function<void()>& action) {
    const forms::Control* outer = pushing_;
    pushing_ = &control;
    Guard(action);
    pushing_ = outer;
    if (WidgetOf(control)) SyncControl(control);
}

void FormView::CloseRequested() {
    if (Syncing()) return;
    auto form = form_.lock();
    if (form) Guard([&] { form->Close(); });
}

void FormView::FrameMoved() {
    if (Syncing() || !frame_ || !frame_->isVisible()) return;
    auto form = form_.lock();
    if (!form || form->WindowState() != forms::WindowState::Normal || FromQt(frame_->windowState()) != 0) return;
    const QPoint p = frame_->pos();
    writingBack_ = true;
    // Only a real difference is written: twips that round to the same pixel stay as stored.
    if (TwipsToPixels(form->Top(), DpiY()) != p.y()) Guard([&] { form->SetTop(PixelsToTwips(p.y(), DpiY())); });
    if (TwipsToPixels(form->Left(), DpiX()) != p.x()) Guard([&] { form->SetLeft(PixelsToTwips(p.x(), DpiX())); });
    writingBack_ = false;
}

void FormView::FrameStateChanged() {
    if (Syncing() || !frame_) return;
    auto form = form_.lock();
    if (!form) return;
    const int state = FromQt(frame_->windowState());
    if (state == static_cast<int>(form->WindowState())) return;
    writingBack_ = true;
    Guard([&] { form->SetWindowState(state); });
    writingBack_ = false;
}

}  // namespace kado::qtview
