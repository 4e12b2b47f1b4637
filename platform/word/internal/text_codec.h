// UTF-8 conversion at the engine's boundary, where positions count code points.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include "platform/com/utf8.h"

namespace kado::word::detail {

using com::AppendUtf8;
using com::DecodeUtf8;  // invalid bytes become U+FFFD

}  // namespace kado::word::detail
