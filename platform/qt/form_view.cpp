#include "platform/qt/form_view.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "platform/com/error.h"
#include "platform/qt/amount_font.h"
#include "platform/qt/bound_widgets.h"
#include "platform/qt/dialog_keys.h"
#include "platform/qt/frame_watcher.h"
#include "platform/qt/grid_plan.h"
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

// The window's grid has four lines per cell row of the plan, and as many per
// column: insets of the frames ending before it, the spacing, insets of the
// frames beginning with it, the cell itself. A frame spans its inset lines, so
// its border keeps clear of its controls and of a neighbouring frame.
constexpr int kLines = 4;
int EndLine(int cell) { return kLines * cell; }
int SpaceLine(int cell) { return kLines * cell + 1; }
int FrameLine(int cell) { return kLines * cell + 2; }
int FrameLines(int cells) { return kLines * cells - 1; }
int CellLine(int cell) { return kLines * cell + 3; }
int CellLines(int cells) { return kLines * cells - 3; }

// Border and title of a group box, and the margin a layout inside it would keep.
QMargins FrameInsets(QWidget& box) {
    const QStyle* st = box.style();
    return box.contentsMargins() + QMargins(st->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, &box),
                                            st->pixelMetric(QStyle::PM_LayoutTopMargin, nullptr, &box),
                                            st->pixelMetric(QStyle::PM_LayoutRightMargin, nullptr, &box),
                                            st->pixelMetric(QStyle::PM_LayoutBottomMargin, nullptr, &box));
}

// What the grid would put between two controls.
int Spacing(const QGridLayout& grid, Qt::Orientation o) {
    const int set = o == Qt::Horizontal ? grid.horizontalSpacing() : grid.verticalSpacing();
    if (set >= 0) return set;
    const QWidget* w = grid.parentWidget();
    const int styled =
        w ? w->style()->layoutSpacing(QSizePolicy::DefaultType, QSizePolicy::DefaultType, o) : -1;
    return styled >= 0 ? styled : 6;
}

const std::string* CaptionOf(const forms::Control& c) {
    using forms::ControlKind;
    switch (c.Kind()) {
        case ControlKind::Label: return &static_cast<const forms::Label&>(c).Caption();
        case ControlKind::CheckBox: return &static_cast<const forms::CheckBox&>(c).Caption();
        case ControlKind::OptionButton: return &static_cast<const forms::OptionButton&>(c).Caption();
        case ControlKind::CommandButton: return &static_cast<const forms::CommandButton&>(c).Caption();
        case ControlKind::Frame: return &static_cast<const forms::Frame&>(c).Caption();
        default: return nullptr;
    }
}

// The caption as shown: "&&" is an ampersand, a single "&" marks the accelerator.
QString Shown(const std::string& caption, QChar* mnemonic = nullptr) {
    const QString text = Q(caption);
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&' && mnemonic && mnemonic->isNull()) *mnemonic = text[i].toLower();
        }
        out += text[i];
    }
    return out;
}

// Widths a control's design asks for: masked fields as wide as their mask,
// combo boxes as their longest entry, anything else by its character count.
void SizeWidget(const forms::Control& c, QWidget& w) {
    const int chars = c.WidthChars();
    switch (c.Kind()) {
        case forms::ControlKind::TextBox:
        case forms::ControlKind::MaskEdBox: {
            auto& edit = static_cast<ModelLineEdit&>(w);
            const auto* masked = dynamic_cast<const forms::MaskEdBox*>(&c);
            if (masked && !masked->Mask().empty()) {
                // A character more than the mask shows, for the caret; a masked field never stretches.
                const int shown = static_cast<int>(QString::fromStdString(masked->Text()).toUcs4().size());
                edit.setFixedWidth(edit.WidthForChars(chars > 0 ? chars : shown + 1));
            } else if (chars > 0) {
                edit.setMinimumWidth(edit.WidthForChars(chars));
            }
            return;
        }
        case forms::ControlKind::ComboBox: {
            auto& box = static_cast<QComboBox&>(w);
            if (chars > 0) {
                box.setMinimumContentsLength(chars);
                box.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            } else {
                box.setSizeAdjustPolicy(QComboBox::AdjustToContents);
            }
            box.setSizePolicy(QSizePolicy::Fixed, box.sizePolicy().verticalPolicy());
            return;
        }
        default:
            if (chars > 0) w.setMinimumWidth((chars + 2) * w.fontMetrics().averageCharWidth());
            return;
    }
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
        host_.Report("unbekannter Fehler");
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
        // The controls of a frame are no children of its widget: they follow it here.
        if (control->Kind() == forms::ControlKind::Frame && (change == Change::Enabled || change == Change::Visible)) {
            for (forms::Control* c : form.Controls()) {
                if (c != control && Within(*c, *control) && WidgetOf(*c)) SyncControl(*c);
            }
        }
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
            SetGroupTabStops(m);
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
    if (c.FixedPitch() != w->testAttribute(Qt::WA_SetFont))
        w->setFont(c.FixedPitch() ? AmountFont(w->font()) : QFont());
    w->setEnabled(Effective(c, &forms::Control::Enabled));
    w->setVisible(Effective(c, &forms::Control::Visible));
}

bool FormView::Within(const forms::Control& control, const forms::Control& frame) const {
    for (const forms::Control* k = Container(control); k; k = Container(*k)) {
        if (k == &frame) return true;
    }
    return false;
}

const forms::Control* FormView::Container(const forms::Control& control) const {
    auto it = containerOf_.find(&control);
    return it == containerOf_.end() ? nullptr : it->second;
}

bool FormView::Effective(const forms::Control& control, bool (forms::Control::*state)() const) const {
    for (const forms::Control* k = &control; k; k = Container(*k)) {
        if (!(k->*state)()) return false;
    }
    return true;
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
    order_.clear();
    defaultButton_ = cancelButton_ = nullptr;
    if (keys_) keys_->Detach();
    containerOf_.clear();
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
    const std::vector<forms::Control*> controls = form.Controls();
    const GridPlan plan = PlanGrid({controls.begin(), controls.end()});
    std::vector<QWidget*> made(controls.size(), nullptr);
    keys_ = new DialogKeys(*this, content_);
    for (size_t i = 0; i < controls.size(); ++i) {
        forms::Control* c = controls[i];
        auto link = std::make_shared<Link>(Link{this, c});
        links_.push_back(link);
        const int frame = plan.container[i];
        if (frame >= 0) containerOf_[c] = controls[static_cast<size_t>(frame)];
        QWidget* w = MakeWidget(*c, link);
        if (!w) continue;
        w->setObjectName(Q(c->Key()));
        made[i] = w;
        widgets_[c] = w;
        w->installEventFilter(keys_);
    }
    const std::vector<int> reading = ReadingOrder(plan);
    for (int i : reading) {
        if (made[static_cast<size_t>(i)]) order_.push_back(controls[static_cast<size_t>(i)]);
    }
    // Captions, entries and fonts first: the sizes depend on them.
    for (size_t i = 0; i < controls.size(); ++i) {
        if (made[i]) SyncControl(*controls[i]);
    }
    LayOut(plan, controls, made, form.StretchColumn());
    QWidget* previous = nullptr;
    for (int i : reading) {
        QWidget* w = made[static_cast<size_t>(i)];
        if (!w) continue;
        if (!controls[static_cast<size_t>(i)]->Focusable()) {
            w->setFocusPolicy(Qt::NoFocus);
            continue;
        }
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
    FindDialogButtons();
    // A label's accelerator shows underlined once the label knows the field it leads to.
    for (size_t i = 0; i < order_.size(); ++i) {
        QChar mnemonic;
        if (order_[i]->Kind() != forms::ControlKind::Label) continue;
        Shown(*CaptionOf(*order_[i]), &mnemonic);
        if (mnemonic.isNull()) continue;
        for (size_t j = i + 1; j < order_.size(); ++j) {
            if (!order_[j]->Focusable()) continue;
            static_cast<QLabel*>(WidgetOf(*order_[i]))->setBuddy(WidgetOf(*order_[j]));
            break;
        }
    }
    static_cast<QVBoxLayout*>(holder_->layout())->addWidget(content_);
    content_->show();
    if (area_) frame_->adjustSize();
    else holder_->adjustSize();
    if (form.ActiveControl()) ScheduleFocus();
}

void FormView::LayOut(const GridPlan& plan, const std::vector<forms::Control*>& controls,
                      const std::vector<QWidget*>& made, int stretchColumn) {
    auto* grid = new QGridLayout(content_);
    const int hSpace = Spacing(*grid, Qt::Horizontal);
    const int vSpace = Spacing(*grid, Qt::Vertical);
    // The spacing lines keep the controls apart; the grid itself adds none.
    grid->setSpacing(0);
    std::map<int, int> rowLines, columnLines;
    for (int k = 1; k < plan.rows; ++k) rowLines[SpaceLine(k)] = vSpace;
    for (int k = 1; k < plan.columns; ++k) columnLines[SpaceLine(k)] = hSpace;
    std::vector<std::pair<int, QWidget*>> frames;  // by depth
    for (size_t i = 0; i < controls.size(); ++i) {
        QWidget* w = made[i];
        if (!w) continue;
        const forms::Control& c = *controls[i];
        const forms::GridPlace& at = plan.places[i];
        if (c.Kind() == forms::ControlKind::Frame) {
            const QMargins m = FrameInsets(*w);
            rowLines[FrameLine(at.row)] += m.top();
            rowLines[EndLine(at.row + at.rowSpan)] += m.bottom();
            columnLines[FrameLine(at.column)] += m.left();
            columnLines[EndLine(at.column + at.columnSpan)] += m.right();
            grid->addWidget(w, FrameLine(at.row), FrameLine(at.column), FrameLines(at.rowSpan),
                            FrameLines(at.columnSpan));
            int depth = 0;
            for (const forms::Control* k = Container(c); k; k = Container(*k)) ++depth;
            frames.emplace_back(depth, w);
            continue;
        }
        SizeWidget(c, *w);
        // Buttons keep their own size at the right of their place, as dialog buttons stand.
        const Qt::Alignment align = c.Kind() == forms::ControlKind::CommandButton ? Qt::AlignRight : Qt::Alignment();
        grid->addWidget(w, CellLine(at.row), CellLine(at.column), CellLines(at.rowSpan), CellLines(at.columnSpan),
                        align);
        // Hidden controls keep their place, as on the original dialogs.
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    if (stretchColumn >= 0) grid->setColumnStretch(CellLine(stretchColumn), 1);
    for (auto [line, pixels] : rowLines) grid->setRowMinimumHeight(line, pixels);
    for (auto [line, pixels] : columnLines) grid->setColumnMinimumWidth(line, pixels);
    // Frames lie behind their controls, an outer frame behind an inner one.
    std::stable_sort(frames.begin(), frames.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (auto& frame : frames) frame.second->lower();
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
    {
        SyncScope scope(syncing_);
        // The offscreen platform used by tests knows no stacking and only warns.
        if (area_ || QGuiApplication::platformName() != QLatin1String("offscreen")) frame_->raise();
        if (auto* sub = qobject_cast<QMdiSubWindow*>(frame_.data()); sub && area_) area_->setActiveSubWindow(sub);
        else frame_->activateWindow();
    }
    if (!form->ActiveControl()) FocusFirstInput();
}

void FormView::FocusFirstInput() {
    QWidget* first = nullptr;
    for (const forms::Control* c : order_) {
        QWidget* w = WidgetOf(*c);
        if (!w || !c->Focusable() || !Reachable(*c) || !(w->focusPolicy() & Qt::TabFocus)) continue;
        using forms::ControlKind;
        if (c->Kind() == ControlKind::TextBox || c->Kind() == ControlKind::MaskEdBox ||
            c->Kind() == ControlKind::ComboBox) {
            first = w;
            break;
        }
        if (!first) first = w;
    }
    // An inactive window gives it the focus once it is activated.
    if (first) first->setFocus(Qt::TabFocusReason);
}

void FormView::SetGroupTabStops(const forms::Control& option) {
    std::vector<const forms::Control*> group;
    const forms::Control* stop = nullptr;
    for (const forms::Control* c : order_) {
        if (c->Kind() != forms::ControlKind::OptionButton || c->Container() != option.Container()) continue;
        group.push_back(c);
        if (!stop && static_cast<const forms::OptionButton*>(c)->Value() && Reachable(*c)) stop = c;
    }
    for (size_t i = 0; !stop && i < group.size(); ++i) {
        if (Reachable(*group[i])) stop = group[i];
    }
    for (const forms::Control* c : group) {
        if (QWidget* w = WidgetOf(*c)) w->setFocusPolicy(c == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void FormView::FindDialogButtons() {
    defaultButton_ = cancelButton_ = nullptr;
    std::vector<const forms::Control*> buttons;
    for (const forms::Control* c : order_) {
        if (c->Kind() != forms::ControlKind::CommandButton) continue;
        buttons.push_back(c);
        const QString shown = Shown(*CaptionOf(*c));
        if (!defaultButton_ && shown == QLatin1String("OK")) defaultButton_ = c;
        if (!cancelButton_ && (shown == QLatin1String("Abbruch") || shown == QLatin1String("Abbrechen")))
            cancelButton_ = c;
    }
    // A form's only button (the table choice's picture button) is its default.
    if (!defaultButton_ && buttons.size() == 1 && buttons.front() != cancelButton_) defaultButton_ = buttons.front();
    for (const forms::Control* c : buttons) {
        if (auto* b = qobject_cast<QPushButton*>(WidgetOf(*c))) b->setDefault(c == defaultButton_);
    }
}

const forms::Control* FormView::ControlOf(const QWidget* widget) const {
    for (const auto& [c, w] : widgets_) {
        if (w == widget) return c;
    }
    return nullptr;
}

bool FormView::InDocumentArea() const { return !area_.isNull(); }

bool FormView::Reachable(const forms::Control& control) const {
    return Effective(control, &forms::Control::Enabled) && Effective(control, &forms::Control::Visible);
}

const forms::Control* FormView::MnemonicTarget(QChar letter) const {
    for (size_t i = 0; i < order_.size(); ++i) {
        const forms::Control* c = order_[i];
        const std::string* caption = CaptionOf(*c);
        QChar mnemonic;
        if (!caption || (Shown(*caption, &mnemonic), mnemonic != letter.toLower()) || !Reachable(*c)) continue;
        if (c->Focusable()) return c;
        // A label or a frame hands its accelerator to the next Tab stop after it.
        for (size_t j = i + 1; j < order_.size(); ++j) {
            const forms::Control* next = order_[j];
            const QWidget* w = WidgetOf(*next);
            if (w && next->Focusable() && Reachable(*next) && (w->focusPolicy() & Qt::TabFocus)) return next;
        }
    }
    return nullptr;
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
