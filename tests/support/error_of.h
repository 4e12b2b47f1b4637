// Test helper: the platform error number a statement throws, 0 when it
// throws none, so table-driven tests can compare numbers.
#pragma once

#include <functional>

#include "platform/com/error.h"

namespace kado::test {

inline int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const com::Error& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace kado::test
