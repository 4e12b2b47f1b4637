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

// Two lanes with unrelated constants, so that the pair works as one 128-bit
// value; each is four chains that take the values in turn, so a long text is
// not one chain of dependent multiplications. Fold() joins them in order.
struct Lanes {
    uint64_t a[4] = {0xcbf29ce484222325ull, 1, 2, 3}, b[4] = {0x84222325cbf29ce4ull, 5, 6, 7};
    unsigned k = 0;
    void Add(uint64_t v) {
        const unsigned i = k++ & 3;
        a[i] = (a[i] ^ v) * kPrime;
        b[i] = (b[i] + v * 0xff51afd7ed558ccdull) * 0xc4ceb9fe1a85ec53ull;
        b[i] ^= b[i] >> 29;
    }
    void Fold(uint64_t& outA, uint64_t& outB) const {
        outA = a[0];
        outB = b[0];
        for (unsigned i = 1; i < 4; ++i) {
            Mix(outA, a[i]);
            Mix(outB, b[i]);
        }
    }
};

// A story's characters as its text has them (the marks' control characters; objects none).
template <typename Each>
void AddText(Lanes& h, const detail::Chars& chars, size_t to, Each&& each) {
    for (size_t i = 0; i < to; ++i) {
        const detail::Ch& c = chars[i];
        each(c);
        switch (c.kind) {
            case detail::Kind::Text: h.Add(c.c); break;
            case detail::Kind::ParaEnd:
            case detail::Kind::RowCr: h.Add(U'\r'); break;
            case detail::Kind::CellEnd:
            case detail::Kind::RowEnd: h.Add(U'\a'); break;
            case detail::Kind::CommentRef: h.Add(U'\x05'); break;
            case detail::Kind::ShapeAnchor:
            case detail::Kind::Opaque: break;
        }
    }
}

}  // namespace

TextDigest TextDigestOf(const Document& doc) {
    auto& d = *detail::Access::DocOf(doc);
    Lanes h;
    TextDigest out;
    int64_t table = 0;  // a table is a stretch of characters of one table id
    AddText(h, d.main.chars, d.main.chars.size(), [&](const detail::Ch& c) {
        if (c.table != 0 && c.table != table) ++out.tables;
        table = c.table;
        if (c.kind == detail::Kind::ShapeAnchor) ++out.shapes;
    });
    // Code points end at 0x10FFFF: the separators below stand for no character.
    for (const int64_t id : d.CommentOrder()) {
        h.Add(0x110000);
        if (const auto* s = d.FindStory(StoryType::Comments, id); s && !s->chars.empty())
            AddText(h, s->chars, s->chars.size() - 1, [](const detail::Ch&) {});  // without the story's last paragraph mark
    }
    h.Add(0x110001);
    h.Fold(out.a, out.b);
    return out;
}

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
