// What a test reads back from a document's table: a cell's text without its
// end-of-cell mark, and the texts of the comments anchored in the cell.
#pragma once

#include <string>
#include <vector>

#include "platform/word/word.h"

namespace kado::testing {

// Drop: without the comment mark (0x05) a commented cell carries, for tests
// that check the comments on their own.
enum class CommentMarks { Keep, Drop };

inline std::string CellText(const word::Table& table, int row, int column, CommentMarks marks = CommentMarks::Keep) {
    std::string text = table.GetCell(row, column).GetRange().Text();
    if (text.size() >= 2) text.resize(text.size() - 2);
    if (marks == CommentMarks::Drop) std::erase(text, '\x05');
    return text;
}

inline std::vector<std::string> CellComments(const word::Table& table, int row, int column) {
    std::vector<std::string> texts;
    auto comments = table.GetCell(row, column).GetRange().GetComments();
    for (int i = 1; i <= comments.Count(); ++i) texts.push_back(comments.Item(i).GetRange().Text());
    return texts;
}

}  // namespace kado::testing
