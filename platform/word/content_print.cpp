#include "platform/word/content_print.h"

#include <algorithm>
#include <cmath>

#include "docstate.h"

namespace kado::word {
namespace {

constexpr uint64_t kPrime = 0x100000001b3ull;

void Mix(uint64_t& h, uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    h *= kPrime;
}

}  // namespace

ContentPrint PrintOf(const Document& doc, long from, long to) {
    const auto& d = *detail::Access::DocOf(doc);
    const auto& chars = d.main.chars;
    from = std::clamp(from, 0L, static_cast<long>(chars.size()));
    to = std::clamp(to, from, static_cast<long>(chars.size()));
    ContentPrint out;
    uint64_t h = 0xcbf29ce484222325ull;
    for (long i = from; i < to; ++i) {
        const detail::Ch& c = chars[static_cast<size_t>(i)];
        Mix(h, (static_cast<uint64_t>(c.c) << 8) | static_cast<uint64_t>(c.kind));
        // Run and paragraph formats are interned and never changed in place: their index names them.
        Mix(h, c.run);
        switch (c.kind) {
            case detail::Kind::ParaEnd:
            case detail::Kind::RowCr: Mix(h, c.aux); break;
            case detail::Kind::CellEnd:
                if (c.aux < d.cellProps.size()) {
                    const auto& p = d.cellProps[c.aux];
                    Mix(h, static_cast<uint64_t>(std::lround(p.width * 100)));
                    Mix(h, (static_cast<uint64_t>(p.top) << 24) | (static_cast<uint64_t>(p.left) << 16) |
                               (static_cast<uint64_t>(p.bottom) << 8) | static_cast<uint64_t>(p.right));
                }
                break;
            case detail::Kind::RowEnd:
                if (c.aux < d.rowProps.size()) {
                    const auto& p = d.rowProps[c.aux];
                    Mix(h, static_cast<uint64_t>(std::lround(p.height * 100)));
                    Mix(h, (static_cast<uint64_t>(p.rule) << 16) | (static_cast<uint64_t>(static_cast<int>(p.cantSplit) + 1) << 8) |
                               static_cast<uint64_t>(static_cast<int>(p.tblHeader) + 1));
                }
                break;
            case detail::Kind::CommentRef: ++out.commentRefs; break;
            default: break;
        }
    }
    out.hash = h;
    return out;
}

}  // namespace kado::word
