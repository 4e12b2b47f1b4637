// The guards a plug-in statement puts before a shared object: a missing
// document, application or recordset fails the statement with error 91.
#pragma once

#include <memory>

#include "platform/com/error.h"

namespace honora {

[[noreturn]] inline void RaiseObjectNotSet() {
    kado::com::Raise(kado::com::err::ObjectNotSet);
}

template <class T>
T& Need(const std::shared_ptr<T>& p) {
    if (!p) RaiseObjectNotSet();
    return *p;
}

// For a procedure that is handed a document handle: an empty one fails the
// caller's statement once, before the procedure's own steps log each use.
template <class Handle>
void RequireObject(const Handle& h) {
    if (!h) RaiseObjectNotSet();
}

}  // namespace honora
