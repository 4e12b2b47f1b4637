// Edits of a story that keep its structure intact (cells, rows, the final
// paragraph mark) and the text and format queries the objects share.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <functional>
#include <string>
#include <string_view>

#include "docstate.h"

namespace kado::word::detail {

std::string TextOf(const Story& s, long from, long to);
// Where text goes for a position. endSide: the position is the end of a
// range, so text after a cell's end mark goes into that cell.
long InsertionPoint(const Story& s, long pos, bool endSide = false);
// Inserts UTF-8 text ("\r" or "\n" start a new paragraph); returns the positions used.
long InsertText(DocState& d, Story& s, long at, std::string_view text);
// Removes what a range covers except structure marks; a table covered whole goes away.
void DeleteContent(DocState& d, Story& s, long from, long to);
bool AllRuns(const DocState& d, const Story& s, long from, long to, const std::function<bool(const RunFormat&)>& pred);
void ChangeRuns(DocState& d, Story& s, long from, long to, const std::function<void(RunFormat&)>& change);
// What stands inside a paragraph, before its mark.
inline bool InParagraph(Kind k) { return k == Kind::Text || k == Kind::Opaque || k == Kind::CommentRef || k == Kind::ShapeAnchor; }
// Makes a copy of a user's paragraph mark fit a paragraph the engine opens
// beside it: no list membership, section break or tracked change of its own.
void FreshMark(DocState& d, Ch& mark);
// Index of the mark that ends the paragraph holding pos.
long ParagraphEndAt(const Story& s, long pos);
void ForgetComment(DocState& d, int64_t id);
void ForgetShape(DocState& d, int64_t id);

}  // namespace kado::word::detail
