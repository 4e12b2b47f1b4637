// Watches a form's window frame for the user closing, moving or
// maximising it and tells the form's view.
#pragma once

#include <QObject>

namespace kado::qtview {

class FormView;

class FrameWatcher final : public QObject {
public:
    FrameWatcher(FormView& view, QObject* frame) : QObject(frame), view_(&view) {}
    // The view goes before its frame when the frame's deletion is deferred.
    void Detach() { view_ = nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FormView* view_;
};

}  // namespace kado::qtview
