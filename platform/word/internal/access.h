// The engine's own way into its public objects: handles made from a document's
// state, and the state behind a handle. Callers outside the engine never see it.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <memory>
#include <utility>

#include "platform/word/word.h"

namespace kado::word::detail {

struct Access {
    template <class H, class... Args>
    static H Make(Args&&... args) {
        return H(std::forward<Args>(args)...);
    }
    static std::shared_ptr<Document> NewDocument(DocPtr state) {
        return std::shared_ptr<Document>(new Document(std::move(state)));
    }
    static const DocPtr& DocOf(const Document& d) { return d.state_; }
    static const DocPtr& DocOf(const Handle& h) { return h.doc_; }
    static const std::shared_ptr<RangeState>& StateOf(const Range& r) { return r.state_; }
    // A handle handed to a call fails it as an unset object, like the call's own.
    static void Live(const Handle& h) { h.Live(); }
};

template <class H, class... Args>
H Make(Args&&... args) {
    return Access::Make<H>(std::forward<Args>(args)...);
}

}  // namespace kado::word::detail
