// UTF-8 conversion at the engine's boundary, where positions count code points.
#pragma once

#include "platform/com/utf8.h"

namespace kado::word::detail {

using com::AppendUtf8;
using com::DecodeUtf8;  // invalid bytes become U+FFFD

}  // namespace kado::word::detail
