// The Qt window of one form: built generically from the form's controls and
// grid places, following the model through its observer and feeding user input back.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/qt/binder.h"
#include "platform/qt/grid_plan.h"

class QEventLoop;
class QMdiArea;

namespace kado::qtview {

// What a form's window needs from the desktop it lives on.
class ViewHost {
public:
    virtual ~ViewHost() = default;
    // The registered document area for the handle, or null.
    virtual QMdiArea* Area(forms::WindowHandle handle) const = 0;
    virtual void Report(const std::string& failure) = 0;
    virtual void PointerChanged() = 0;
};

class FrameWatcher;
class DialogKeys;

class FormView final : public Binder {
public:
    FormView(ViewHost& host, const std::shared_ptr<forms::Form>& form);
    ~FormView() override;
    FormView(const FormView&) = delete;
    FormView& operator=(const FormView&) = delete;

    bool Shows(const forms::Form& form) const;
    bool Expired() const { return form_.expired(); }
    // Builds the window when needed, places it and brings it to the front.
    void ShowWindow(bool modal);
    // Shows the form modally and runs a local event loop until it is hidden or unloaded.
    void RunModal();
    // Whether the form asks for the wait pointer.
    bool Busy() const;

    QWidget* Window() const { return frame_; }
    QWidget* WidgetOf(const forms::Control& control) const;

    // Binder
    void FocusIn(forms::Control& control, Qt::FocusReason reason) override;
    void FocusOut(forms::Control& control, Qt::FocusReason reason) override;
    void Push(forms::Control& control, const std::function<void()>& action) override;
    void Quiet(const std::function<void()>& widgetCode) override;
    bool Syncing() const override { return syncing_ > 0; }

    // For the window's keyboard: the controls in reading order, the one a
    // widget shows, the buttons Enter and Esc press, the control an Alt+letter reaches.
    const std::vector<forms::Control*>& Order() const { return order_; }
    const forms::Control* ControlOf(const QWidget* widget) const;
    const forms::Control* DefaultButton() const { return defaultButton_; }
    const forms::Control* CancelButton() const { return cancelButton_; }
    const forms::Control* MnemonicTarget(QChar letter) const;
    // Enabled and visible, with every frame around it.
    bool Reachable(const forms::Control& control) const;
    bool InDocumentArea() const;

    // From the window frame.
    void CloseRequested();
    void FrameMoved();
    void FrameStateChanged();

private:
    void OnChange(forms::Form& form, forms::Control* control, forms::Change change);
    void Guard(const std::function<void()>& call);
    void BuildFrame(bool modal);
    void DropFrame();
    void BuildContent(forms::Form& form);
    void LayOut(const GridPlan& plan, const std::vector<forms::Control*>& controls, const std::vector<QWidget*>& made,
                int stretchColumn);
    void DropContent();
    QWidget* MakeWidget(forms::Control& control, const std::shared_ptr<Link>& link);
    void SyncControl(forms::Control& control);
    // The frame a control stands in; null at the window's level.
    const forms::Control* Container(const forms::Control& control) const;
    bool Within(const forms::Control& control, const forms::Control& frame) const;
    // A state of the control and of every frame around it.
    bool Effective(const forms::Control& control, bool (forms::Control::*state)() const) const;
    void ApplyTitle(forms::Form& form);
    void ApplyPosition(forms::Form& form);
    void ApplyState(forms::Form& form, bool show);
    void ScheduleFocus();
    void ApplyFocus();
    // The first input field in reading order, else the first Tab stop.
    void FocusFirstInput();
    // Of an option group only the selected option (else the first) is a Tab stop.
    void SetGroupTabStops(const forms::Control& option);
    void FindDialogButtons();
    bool IsOwnWidget(QWidget* widget) const;
    double DpiX() const;
    double DpiY() const;

    ViewHost& host_;
    std::weak_ptr<forms::Form> form_;
    QPointer<QWidget> frame_;    // the top-level window or the MDI subwindow
    QPointer<QWidget> holder_;   // holds the content; the frame itself when top-level
    QPointer<QWidget> content_;  // the form's client area with its controls
    QPointer<QMdiArea> area_;    // set while the frame is a subwindow
    QPointer<FrameWatcher> watcher_;
    QPointer<DialogKeys> keys_;
    std::vector<forms::Control*> order_;  // controls with a widget, in reading order
    const forms::Control* defaultButton_ = nullptr;
    const forms::Control* cancelButton_ = nullptr;
    bool modalFrame_ = false;
    std::vector<std::shared_ptr<Link>> links_;
    std::unordered_map<const forms::Control*, QWidget*> widgets_;
    std::unordered_map<const forms::Control*, const forms::Control*> containerOf_;  // control -> its frame
    int syncing_ = 0;
    const forms::Control* pushing_ = nullptr;  // its widget is synced once the action ends
    bool writingBack_ = false;                 // the window itself changed place or state
    QEventLoop* modalLoop_ = nullptr;
    std::shared_ptr<FormView*> self_;          // lets queued calls find out the view is gone
    forms::Subscription subscription_;
};

}  // namespace kado::qtview
