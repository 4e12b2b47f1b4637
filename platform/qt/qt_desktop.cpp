#include "platform/qt/qt_desktop.h"

#include <QApplication>
#include <QMdiArea>
#include <QPointer>
#include <algorithm>
#include <map>
#include <vector>

#include "platform/com/error.h"
#include "platform/qt/form_view.h"

namespace kado::qtview {

struct QtDesktop::Impl final : ViewHost {
    std::vector<std::unique_ptr<FormView>> views;
    std::map<forms::WindowHandle, QPointer<QMdiArea>> areas;
    std::function<void(const std::string&)> sink;
    bool cursorOverridden = false;
    // Forms that asked for a pointer before or without a window of their own.
    std::vector<std::weak_ptr<forms::Form>> pointerForms;

    ~Impl() override {
        views.clear();
        if (cursorOverridden) QApplication::restoreOverrideCursor();
    }

    QMdiArea* Area(forms::WindowHandle handle) const override {
        auto it = areas.find(handle);
        return it == areas.end() ? nullptr : it->second.data();
    }

    void Report(const std::string& failure) override {
        if (sink) sink(failure);
        else qWarning("%s", failure.c_str());
    }

    void PointerChanged() override {
        std::erase_if(pointerForms, [](const auto& w) { return w.expired(); });
        const bool busy =
            std::any_of(views.begin(), views.end(), [](const auto& v) { return v->Busy(); }) ||
            std::any_of(pointerForms.begin(), pointerForms.end(), [](const auto& w) {
                auto f = w.lock();
                return f && f->MousePointer() == forms::MousePointer::Hourglass;
            });
        if (busy == cursorOverridden) return;
        cursorOverridden = busy;
        if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
        else QApplication::restoreOverrideCursor();
    }

    FormView* Find(const forms::Form& form) const {
        for (const auto& v : views) {
            if (v->Shows(form)) return v.get();
        }
        return nullptr;
    }

    FormView* Ensure(forms::Form& form) {
        // Forms that are gone take their windows with them.
        std::erase_if(views, [](const auto& v) { return v->Expired(); });
        if (FormView* v = Find(form)) return v;
        std::shared_ptr<forms::Form> shared = form.weak_from_this().lock();
        if (!shared) return nullptr;
        views.push_back(std::make_unique<FormView>(*this, shared));
        return views.back().get();
    }
};

QtDesktop::QtDesktop() : impl_(std::make_unique<Impl>()) {}
QtDesktop::~QtDesktop() = default;

void QtDesktop::Shown(forms::Form& form) {
    if (FormView* v = impl_->Ensure(form)) v->ShowWindow(form.Modal());
    impl_->PointerChanged();
}

void QtDesktop::RunModal(forms::Form& form) {
    FormView* v = impl_->Ensure(form);
    impl_->PointerChanged();
    if (v) v->RunModal();
}

void QtDesktop::PointerChanged(forms::Form& form) {
    auto& known = impl_->pointerForms;
    const bool listed = std::any_of(known.begin(), known.end(), [&](const auto& w) { return w.lock().get() == &form; });
    if (!listed) known.push_back(form.weak_from_this());
    impl_->PointerChanged();
}

bool QtDesktop::KnowsWindow(forms::WindowHandle handle) const { return impl_->Area(handle) != nullptr; }

void QtDesktop::RegisterDocumentArea(forms::WindowHandle handle, QMdiArea* area) {
    if (handle == 0) com::Raise(forms::err::InvalidPropertyValue, "Window handle 0 is the desktop itself");
    if (area) impl_->areas[handle] = area;
    else impl_->areas.erase(handle);
}

void QtDesktop::UnregisterDocumentArea(forms::WindowHandle handle) { impl_->areas.erase(handle); }

QWidget* QtDesktop::WindowOf(const forms::Form& form) const {
    FormView* v = impl_->Find(form);
    return v ? v->Window() : nullptr;
}

QWidget* QtDesktop::WidgetOf(const forms::Control& control) const {
    FormView* v = impl_->Find(control.Parent());
    return v ? v->WidgetOf(control) : nullptr;
}

bool QtDesktop::BusyCursorShown() const { return impl_->cursorOverridden; }

void QtDesktop::SetFailureSink(std::function<void(const std::string&)> sink) { impl_->sink = std::move(sink); }

}  // namespace kado::qtview
