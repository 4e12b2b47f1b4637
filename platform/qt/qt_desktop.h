// The forms model's desktop on Qt Widgets: every form becomes a real window,
// top-level or a subwindow of a registered document area.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/forms/forms.h"

class QMdiArea;
class QWidget;

namespace kado::qtview {

// Needs a QApplication for its whole life.
class QtDesktop : public forms::Desktop {
public:
    QtDesktop();
    ~QtDesktop() override;
    QtDesktop(const QtDesktop&) = delete;
    QtDesktop& operator=(const QtDesktop&) = delete;

    void Shown(forms::Form& form) override;
    void RunModal(forms::Form& form) override;
    bool KnowsWindow(forms::WindowHandle handle) const override;
    void PointerChanged(forms::Form& form) override;

    // A document area of the host under the handle it hands over as hWndMDI.
    // Handle 0 stands for the desktop itself and fails with 380.
    void RegisterDocumentArea(forms::WindowHandle handle, QMdiArea* area);
    void UnregisterDocumentArea(forms::WindowHandle handle);

    // The window showing the form (top-level widget or MDI subwindow), null when it has none.
    QWidget* WindowOf(const forms::Form& form) const;
    // The widget showing the control, null when its form has no window.
    QWidget* WidgetOf(const forms::Control& control) const;
    // Whether the busy cursor is up because a form asks for the wait pointer.
    bool BusyCursorShown() const;

    // Where failures of model calls made for user input go; qWarning by default.
    void SetFailureSink(std::function<void(const std::string&)> sink);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kado::qtview
