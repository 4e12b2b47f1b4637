// DOCX reading into and writing from the in-memory document state, and the
// package parts kept beside it so that a save writes back what it loaded.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <memory>
#include <string>
#include <string_view>

#include "docstate.h"
#include "source_blocks.h"
#include "platform/word/package.h"

namespace kado::word::detail {

// Opaque XML that stands between paragraphs (body-level elements, nested
// tables) starts with this byte; it is written before its paragraph.
inline constexpr char kBlockOpaque = '\x01';

// What DocState::package points to for a loaded document.
struct LoadedPackage {
    explicit LoadedPackage(pkg::Package p) : package(std::move(p)) {}
    pkg::Package package;
    std::string mainPart = "word/document.xml";
    std::string relsPart = "word/_rels/document.xml.rels";
    std::string commentsPart;      // empty when the package has none
    std::string stylesPart;        // empty when the package has none
    std::string commentsRootTag;   // start tag of the loaded comments root, with its declarations
    std::string mainRaw;           // the document part as read, which blocks point into
    std::vector<SourceBlock> blocks;
    std::vector<std::string> unreferencedComments;  // w:comment elements no text refers to, as read
    int firstFreeCommentId = 0;    // above every comment id read
    size_t referencedComments = 0;
};

// Fills an empty state from DOCX bytes; com::Error for malformed input.
void LoadDocx(DocState& st, std::string_view bytes);
// The complete DOCX package of the state.
std::string SaveDocx(DocState& st);
// Wraps a state in a Document the way Document::New does.
std::shared_ptr<Document> MakeDocument(DocPtr st, std::shared_ptr<Application> app);

}  // namespace kado::word::detail
