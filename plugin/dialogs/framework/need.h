// Guards of the framework's statements: a missing object fails the statement
// with "object not set" instead of dereferencing nothing.
#pragma once

#include <memory>
#include <optional>

#include "platform/com/error.h"

namespace honora::framework {

template <class T>
T& Required(std::optional<T>& p) {
    if (!p) kado::com::Raise(kado::com::err::ObjectNotSet, "Object variable not set");
    return *p;
}

template <class T>
const T& Required(const std::optional<T>& p) {
    if (!p) kado::com::Raise(kado::com::err::ObjectNotSet, "Object variable not set");
    return *p;
}

template <class T>
T& Required(const std::shared_ptr<T>& p) {
    if (!p) kado::com::Raise(kado::com::err::ObjectNotSet, "Object variable not set");
    return *p;
}

}  // namespace honora::framework
