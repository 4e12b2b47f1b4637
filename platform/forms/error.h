// Error catalogue of the forms runtime: the numbers forms and controls throw
// as com::Error, each with its one description.
#pragma once

#include "platform/com/error.h"

namespace kado::forms::err {
inline constexpr com::ErrorCode ControlArrayElementMissing{340, "Control array element does not exist"};
inline constexpr com::ErrorCode InvalidPropertyValue{380, "Invalid property value"};
inline constexpr com::ErrorCode CannotShowModal{401, "Form is already shown modally"};  // while a modal form of it runs
inline constexpr com::ErrorCode ControlNotFound{730, "Control not found"};
inline constexpr com::ErrorCode ImageNotFound{35601, "Image not found"};         // image list has no such key
inline constexpr com::ErrorCode ImageKeyNotUnique{35602, "Image key is not unique"};  // image list has the key already
}  // namespace kado::forms::err
