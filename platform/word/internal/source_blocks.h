// What a loaded document keeps of its main text as read: each body block's
// XML with a fingerprint of the model it gave, so that a save writes every
// block the edits left alone exactly as it came in.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "docstate.h"

namespace kado::word::detail {

// A paragraph or top-level table with the body-level elements before it.
struct SourceBlock {
    std::shared_ptr<RangeState> range;  // follows edits like any live range
    size_t from = 0, to = 0;            // its bytes in the document part as read
    long length = 0;                    // characters it gave; -1 when the load added to them
    bool healed = false;                // the load added a comment's missing reference mark
    uint64_t print = 0;                 // fingerprint of those characters and what they refer to
};

// Comment ids in the file: loaded comments keep theirs, new ones go above all read.
struct CommentIds {
    std::map<int64_t, int> fileId;   // comment -> id written
    std::vector<int64_t> written;    // comments in reference order
};
CommentIds AssignCommentIds(DocState& st, int firstFree);

// Comment range marks by stream position: +id+1 starts a range, -id-1 ends one.
using CommentMarks = std::map<long, std::vector<int>>;
CommentMarks PlaceCommentMarks(DocState& st, const CommentIds& ids);

// Fingerprint of [from, to) of the main text: characters, the formats and
// properties they refer to, and the comment marks in it.
uint64_t BlockPrint(DocState& st, std::span<const Ch> cs, long from, long to, const CommentMarks& marks,
                    const CommentIds& ids);
// Fingerprint of a comment: its text and its data.
uint64_t CommentPrint(DocState& st, const CommentData& c);

// Whether [from, to) still stands alone in the stream: it starts and ends where a
// paragraph or table does, so writing it as one block keeps its neighbours whole.
bool StandsAlone(std::span<const Ch> cs, long from, long to);

}  // namespace kado::word::detail
