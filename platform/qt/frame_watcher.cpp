#include "platform/qt/frame_watcher.h"

#include <QEvent>

#include "platform/qt/form_view.h"

namespace kado::qtview {

bool FrameWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (!view_ || watched != parent()) return false;
    switch (event->type()) {
        case QEvent::Close:
            // The close box asks the form; the form decides whether and how the window goes.
            event->ignore();
            view_->CloseRequested();
            return true;
        case QEvent::Move:
            view_->FrameMoved();
            break;
        case QEvent::WindowStateChange:
            view_->FrameStateChanged();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace kado::qtview
