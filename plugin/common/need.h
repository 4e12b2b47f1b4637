// The guard every plug-in statement puts before a shared object: a missing
// document, table or recordset fails the statement with error 91.
#pragma once

#include <memory>
#include <optional>

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

template <class T>
T& Need(std::optional<T>& p) {
    if (!p) RaiseObjectNotSet();
    return *p;
}

template <class T>
const T& Need(const std::optional<T>& p) {
    if (!p) RaiseObjectNotSet();
    return *p;
}

}  // namespace honora
