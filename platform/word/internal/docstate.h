// In-memory state of one document: the main text as a flat character stream
// with structure marks, live ranges that follow edits, and the stories beside it.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "by_id.h"
#include "access.h"
#include "char_stream.h"
#include "platform/word/word.h"

namespace kado::word::detail {

// What a stream position is. Paragraph ends are '\r'; a cell ends with its
// last paragraph's '\r' followed by a CellEnd '\a'; a row ends with "\r\a"
// (RowCr, RowEnd). Everything the engine does not model inline is an Opaque
// object character that keeps its XML.
enum class Kind : uint8_t { Text, ParaEnd, CellEnd, RowCr, RowEnd, CommentRef, ShapeAnchor, Opaque };

struct Ch {
    char32_t c = 0;
    Kind kind = Kind::Text;
    uint32_t run = 0;    // run format index
    uint32_t aux = 0;    // paragraph format (ParaEnd/RowCr), cell or row props, comment id, opaque index
    int64_t table = 0;   // 0 outside tables
};

struct RunFormat {
    bool bold = false;
    bool underline = false;
    float size = 0;       // 0: inherited
    std::string otherXml; // run properties the engine does not model, kept verbatim
    bool operator==(const RunFormat&) const = default;
};

// On/off properties as the file has them: absent (the style decides), off or on.
enum class OnOff : int8_t { Inherited = -1, Off = 0, On = 1 };

struct ParaFormat {
    int alignment = -1;   // -1: inherited
    OnOff keepNext = OnOff::Inherited;
    OnOff keepLines = OnOff::Inherited;
    std::string otherXml;
    bool operator==(const ParaFormat&) const = default;
};

using Chars = GapBuffer<Ch>;

struct Story {
    StoryType type = StoryType::Main;
    int64_t id = 0;
    Chars chars;  // always ends with a paragraph end
};

struct RangeState {
    StoryType story = StoryType::Main;
    int64_t storyId = 0;
    long start = 0;
    long end = 0;
};

struct AppState {};

// Border line styles of one cell edge; None means no border.
struct CellProps {
    float width = 0;
    LineStyle top = LineStyle::None, left = LineStyle::None, bottom = LineStyle::None, right = LineStyle::None;
    std::string otherXml;  // tcPr children the engine does not model
};

struct RowProps {
    float height = 0;
    HeightRule rule = HeightRule::Auto;
    OnOff cantSplit = OnOff::Inherited;
    OnOff tblHeader = OnOff::Inherited;  // repeated at the top of each page the table goes on to
    std::string otherXml;  // trPr children the engine does not model
};

struct TableData {
    int64_t id = 0;
    std::string tblPrXml;  // w:tblPr as read, empty for new tables
};

struct CommentData {
    int64_t id = 0;  // also the id of its text story
    std::shared_ptr<RangeState> scope;
    std::string author;  // as the caller named it, or as read
    std::string initials;
    std::string date;  // ISO 8601, may be empty
    int fileId = -1;        // id in the file it was read from
    std::string sourceXml;  // its w:comment as read
    bool keepable = false;  // sourceXml may be written back as it is
    uint64_t print = 0;     // fingerprint of what it was read into
};

struct ShapeData {
    int64_t id = 0;  // also the id of its text story
    std::string name;
    float left = 0, top = 0, width = 0, height = 0;
    RelativeVerticalPosition relV = RelativeVerticalPosition::Paragraph;
    bool fillVisible = true;
    float fillTransparency = 0;
    bool lineVisible = true;
    WrapType wrap = WrapType::None;
};

// Table layout as found in the stream: cell end positions per row, kept
// relative to the table's start so that an edit before a table moves it in
// constant time.
struct TableLayout {
    int64_t id = 0;
    long start = 0;                           // first position
    long end = 0;                             // one past the last row end
    std::vector<std::vector<long>> cellsRel;  // each CellEnd, minus start
    std::vector<long> rowEndsRel;             // each RowEnd, minus start

    int Rows() const { return static_cast<int>(rowEndsRel.size()); }
    int CellsIn(int row) const { return static_cast<int>(cellsRel[row - 1].size()); }
    // Positions of the end marks, rows and columns counted from 1.
    long CellEnd(int row, int column) const { return start + cellsRel[row - 1][column - 1]; }
    long RowEnd(int row) const { return start + rowEndsRel[row - 1]; }
};

// Page size and side margins of the last section, in twips as the file has them.
struct PageTwips {
    long width = 11906, height = 16838, left = 1417, right = 1417;
};

struct DocState {
    Story main;
    std::vector<RunFormat> runFormats{RunFormat{}};
    std::vector<ParaFormat> paraFormats{ParaFormat{}};
    // Live ranges: the state is reached through the raw pointer only while the
    // weak one says it is alive (one thread edits a document), which spares every
    // edit an atomic lock per range.
    struct LiveRange {
        std::weak_ptr<RangeState> owner;
        RangeState* state = nullptr;
    };
    std::vector<LiveRange> ranges;
    std::shared_ptr<Application> app;  // the application holds its document only weakly
    ById<std::unique_ptr<Story>> stories;  // comment and text-frame texts
    size_t liveHint = 0;

    std::vector<CellProps> cellProps;   // indexed by a CellEnd's aux
    std::vector<RowProps> rowProps;     // indexed by a RowEnd's aux
    ById<TableData> tables;             // document order comes from the stream
    ById<CommentData> comments;
    ById<ShapeData> shapes;
    std::vector<std::string> opaque;    // XML of Opaque characters, by aux
    int64_t nextId = 1;
    float textWidth = 453.6f;           // points between the page margins
    float defaultFontSize = 11;         // size of runs without their own
    std::string defaultFontName = "Arial";
    bool defaultFontEdited = false;     // styles part rewritten on save only then
    PageTwips page;
    bool pageEdited = false;            // sectPr rewritten on save only then
    float pendingSize = 0;              // size set on a collapsed selection, for the next typing
    int64_t selectedShape = 0;          // shape selected by Shape.Select, 0 when text is selected
    int selectedColumn = 0;             // column selected by Column.Select, 0 otherwise
    uint64_t version = 0;               // bumped by every structural edit

    // Package parts and body XML kept for writing back.
    std::shared_ptr<void> package;      // pkg::Package when loaded from a file
    std::string documentXmlHead;        // document.xml up to and including <w:body>
    std::string documentXmlTail;        // trailing body children and closing tags
    std::string sectPr;                 // the body's w:sectPr as read, empty for a new document
    size_t sectPrAt = 0;                // where it stands in documentXmlTail
    std::shared_ptr<RangeState> selection = std::make_shared<RangeState>();

    bool printRevisions = false;
    bool showRevisions = true;
    bool showAll = false;
    bool showHiddenText = false;
    bool showComments = true;
    bool showInsertionsAndDeletions = true;
    bool showFormatting = true;

    Story* FindStory(StoryType type, int64_t id);
    std::shared_ptr<RangeState> Track(StoryType type, int64_t id, long start, long end);
    // Shifts every live range of a story for an insertion or removal.
    void Inserted(StoryType type, int64_t id, long at, long count);
    void Removed(StoryType type, int64_t id, long from, long to);
    uint32_t InternRun(const RunFormat& f);
    uint32_t InternPara(const ParaFormat& f);

    // Document-order views, rebuilt at most once per change of the stream
    // (table layouts follow text edits in place).
    const std::vector<TableLayout>& Layouts();
    const std::vector<int64_t>& CommentOrder();  // comment ids by reference position
    const std::vector<int64_t>& ShapeOrder();
    long CommentRefPos(int64_t id);              // -1 when deleted
    // Comment ids whose reference lies in [from, to) (at from when the range is
    // empty) or whose non-empty anchor overlaps it, in reference order.
    std::vector<int64_t> CommentsIn(long from, long to);
    // Layouts of the tables that overlap [from, to) (hold from when empty).
    std::vector<const TableLayout*> TablesIn(long from, long to);
    CommentData* FindComment(int64_t id) { return comments.Find(id); }
    ShapeData* FindShape(int64_t id) { return shapes.Find(id); }
    TableData* FindTable(int64_t id) { return tables.Find(id); }
    const TableLayout& Layout(int64_t tableId);  // 5941 when the table is gone

    // Inserts characters into a story at a position and shifts live ranges.
    void InsertChars(Story& story, long at, const std::vector<Ch>& chars);
    void RemoveChars(Story& story, long from, long to);

private:
    void IndexComments();
    void IndexAnchors();

    void KeepMarkIndexes(long from, long by);
    void ScanLayouts(long from, long to, std::vector<TableLayout>& out) const;
    void RescanLayouts(long from, long to, long delta);
    uint64_t layoutVersion_ = ~0ull, commentVersion_ = ~0ull, anchorVersion_ = ~0ull, shapeVersion_ = ~0ull;
    std::vector<TableLayout> layouts_;
    std::unordered_map<int64_t, size_t> layoutIndex_;  // table id -> index in layouts_
    std::vector<int64_t> commentOrder_, shapeOrder_;
    std::vector<long> commentPos_;                      // parallel to commentOrder_
    std::unordered_map<int64_t, size_t> commentIndex_;  // comment id -> index in commentOrder_
    // Non-empty anchors sorted by start, with a max-end tree over them for overlap queries.
    struct Anchor {
        long start, end;
        size_t order;  // index in commentOrder_
    };
    std::vector<Anchor> anchors_;
    std::vector<long> anchorMaxEnd_;
};

}  // namespace kado::word::detail
