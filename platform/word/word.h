// Word-processor automation object model over an in-memory document that
// loads and saves real DOCX files. Positions count characters (code points).
#pragma once

// Public contract used by plugin/. Members may be added; existing
// signatures change only together with every caller.
//
// Object identity: Document and Application are shared objects
// (std::shared_ptr); every other type is a light handle that refers into
// its document. Copying a Range yields an independent range (like
// Range.Duplicate); every live Range adjusts to edits made elsewhere.
// Handles to deleted things (a deleted table, comment or shape) throw
// com::Error when used. A default-constructed handle is empty: it tests false
// and every use of it fails with 91, before it counts as a call.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/word/error.h"
#include "platform/com/object.h"

namespace kado::word {

enum class Unit : int { Character = 1, Word = 2, Paragraph = 4, Story = 6 };
enum class CollapseDirection : int { End = 0, Start = 1 };
enum class HeightRule : int { Auto = 0, AtLeast = 1, Exactly = 2 };
enum class Alignment : int { Left = 0, Center = 1, Right = 2, Justify = 3 };
enum class BorderType : int { Top = -1, Left = -2, Bottom = -3, Right = -4, Horizontal = -5, Vertical = -6 };
enum class LineStyle : int { None = 0, Single = 1 };
enum class UnderlineStyle : int { None = 0, Single = 1 };
enum class RelativeVerticalPosition : int { Margin = 0, Page = 1, Paragraph = 2, Line = 3 };
enum class TextOrientation : int { Horizontal = 1 };
// How the text flows around a shape: None lets it run under the shape, TopBottom
// keeps the lines the shape covers free, above and below it.
enum class WrapType : int { None = 3, TopBottom = 4 };
enum class StoryType : int { Main = 1, Comments = 4, TextFrame = 5 };

// The text of a table cell ends with these two characters.
inline constexpr char kCellEndMark[] = "\r\a";

class Application;
class Document;
class Range;
class Tables;
class Table;
class Rows;
class Row;
class Columns;
class Column;
class Cell;
class Comments;
class Comment;
class Shapes;
class Shape;
class Selection;
class Font;
class ParagraphFormat;
class Borders;
class Border;
class Window;
class View;
class TextFrame;
class FillFormat;
class LineFormat;

namespace detail {
struct DocState;
struct RangeState;
struct AppState;
struct Access;  // the engine's own way in; defined in its private headers
}  // namespace detail

using DocPtr = std::shared_ptr<detail::DocState>;

namespace detail {
// The document every handle refers into; none in an empty handle.
class Handle {
public:
    explicit operator bool() const noexcept { return doc_ != nullptr; }

protected:
    friend struct Access;
    Handle() = default;
    explicit Handle(DocPtr doc) noexcept : doc_(std::move(doc)) {}
    // An empty handle is an object variable that was never set.
    void Live() const {
        if (!doc_) com::Raise(com::err::ObjectNotSet);
    }

    DocPtr doc_;
};
}  // namespace detail

class Font final : public detail::Handle {
public:
    Font() = default;
    float Size() const;
    void SetSize(float points);
    bool Bold() const;
    void SetBold(bool bold);

private:
    friend struct detail::Access;
    Font(DocPtr doc, std::shared_ptr<detail::RangeState> target);

    std::shared_ptr<detail::RangeState> target_;
};

class ParagraphFormat final : public detail::Handle {
public:
    ParagraphFormat() = default;
    Alignment GetAlignment() const;
    void SetAlignment(Alignment a);
    // Keeps each paragraph on the page of the next one; in a table row whose
    // paragraphs all keep with the next, the row stays with the next row.
    bool KeepWithNext() const;  // true when every paragraph of the range does
    void SetKeepWithNext(bool keep);
    // Keeps each paragraph's lines on one page.
    bool KeepTogether() const;  // true when every paragraph of the range does
    void SetKeepTogether(bool keep);

private:
    friend struct detail::Access;
    ParagraphFormat(DocPtr doc, std::shared_ptr<detail::RangeState> target);

    std::shared_ptr<detail::RangeState> target_;
};

class Range final : public detail::Handle {
public:
    Range() = default;
    Range(const Range& other);  // duplicate
    Range& operator=(const Range& other);
    Range(Range&&) noexcept;
    Range& operator=(Range&&) noexcept;
    ~Range();

    long Start() const;
    long End() const;
    void SetStart(long pos);
    void SetEnd(long pos);
    void SetRange(long start, long end);
    StoryType Story() const;

    // Text of the range; cells contribute their text and "\r\a".
    std::string Text() const;
    // Replaces the range's text; the range then covers the new text.
    void SetText(std::string_view text);

    void Collapse(CollapseDirection direction = CollapseDirection::Start);
    // Moves the start or end by count units (negative: backwards); returns the units moved.
    long MoveStart(Unit unit = Unit::Character, long count = 1);
    long MoveEnd(Unit unit = Unit::Character, long count = 1);

    void InsertAfter(std::string_view text);   // range extends over the inserted text
    void InsertBefore(std::string_view text);  // range extends over the inserted text
    void InsertParagraphBefore();              // range extends over the new paragraph mark
    void InsertParagraphAfter();               // range extends over the new paragraph mark
    void Delete();

    bool Bold() const;  // true when every character is bold
    void SetBold(bool bold);
    UnderlineStyle Underline() const;
    void SetUnderline(UnderlineStyle u);
    Font GetFont() const;
    ParagraphFormat GetParagraphFormat() const;

    Comments GetComments() const;  // comments whose anchor lies in this range
    Tables GetTables() const;      // tables that overlap this range
    void Select() const;           // makes this range the selection

private:
    friend struct detail::Access;
    Range(DocPtr doc, StoryType story, int64_t storyId, long start, long end);

    std::shared_ptr<detail::RangeState> state_;
};

class Cell final : public detail::Handle {
public:
    Cell() = default;
    Range GetRange() const;
    void Select() const;
    void SetWidth(float points);  // without adjusting neighbours
    float Width() const;
    // The line on one edge of this cell (Top, Left, Bottom, Right; others fail with 5941),
    // read without moving the selection.
    LineStyle Edge(BorderType side) const;
    int RowIndex() const;
    int ColumnIndex() const;

private:
    friend struct detail::Access;
    Cell(DocPtr doc, int64_t tableId, int row, int column);

    int64_t tableId_ = 0;
    int row_ = 0;
    int column_ = 0;
};

class Row final : public detail::Handle {
public:
    Row() = default;
    void SetHeight(float points, HeightRule rule);
    float Height() const;
    HeightRule GetHeightRule() const;
    // Whether a page break may fall inside the row (a row that may not is written can't-split).
    bool AllowBreakAcrossPages() const;
    void SetAllowBreakAcrossPages(bool allow);
    // A heading row is repeated at the top of every page the table goes on to;
    // the word processors repeat only an unbroken run of them from the first row.
    bool HeadingFormat() const;
    void SetHeadingFormat(bool heading);
    Range GetRange() const;
    int Index() const;

private:
    friend struct detail::Access;
    Row(DocPtr doc, int64_t tableId, int index);

    int64_t tableId_ = 0;
    int index_ = 0;
};

class Rows final : public detail::Handle {
public:
    Rows() = default;
    int Count() const;
    Row Item(int index) const;  // 1-based; 5941 when missing
    Row Add();                  // appends a row like the last one
    bool AllowBreakAcrossPages() const;  // true when every row allows it
    void SetAllowBreakAcrossPages(bool allow);  // for every row

private:
    friend struct detail::Access;
    Rows(DocPtr doc, int64_t tableId);

    int64_t tableId_ = 0;
};

class Column final : public detail::Handle {
public:
    Column() = default;
    void SetWidth(float points);  // every cell of the column, without adjusting neighbours
    void Select() const;
    int Index() const;

private:
    friend struct detail::Access;
    Column(DocPtr doc, int64_t tableId, int index);

    int64_t tableId_ = 0;
    int index_ = 0;
};

class Columns final : public detail::Handle {
public:
    Columns() = default;
    int Count() const;
    Column Item(int index) const;  // 1-based; 5941 when missing

private:
    friend struct detail::Access;
    Columns(DocPtr doc, int64_t tableId);

    int64_t tableId_ = 0;
};

class Table final : public detail::Handle {
public:
    Table() = default;
    Range GetRange() const;
    Cell GetCell(int row, int column) const;  // 5941 when outside the table
    Rows GetRows() const;
    Columns GetColumns() const;
    void Select() const;
    void Delete();  // ranges at the table collapse to where it stood
    int64_t Id() const { Live(); return id_; }
    friend bool operator==(const Table& a, const Table& b) { return a.doc_ == b.doc_ && a.id_ == b.id_; }

private:
    friend struct detail::Access;
    Table(DocPtr doc, int64_t id);

    int64_t id_ = 0;
};

class Tables final : public detail::Handle {
public:
    Tables() = default;
    int Count() const;
    Table Item(int index) const;  // 1-based, document order; 5941 when missing
    // Adds a table of empty cells at the range (the range's paragraph is split
    // when needed); column widths share the text width evenly.
    Table Add(const Range& where, int rows, int columns);

private:
    friend struct detail::Access;
    // All tables of the document (scope empty) or those overlapping a range.
    Tables(DocPtr doc, std::shared_ptr<detail::RangeState> scope);

    std::shared_ptr<detail::RangeState> scope_;
};

// Who a new comment names as its author.
struct CommentAuthor {
    std::string_view name;
    std::string_view initials;
};

class Comment final : public detail::Handle {
public:
    Comment() = default;
    Range GetRange() const;      // the comment's own text
    Range Reference() const;     // its reference mark in the main text (at the end of the anchor)
    Range Scope() const;         // the anchored stretch of the main text
    std::string Text() const;    // the comment's text as plain text
    void Delete();
    int64_t Id() const { Live(); return id_; }

private:
    friend struct detail::Access;
    Comment(DocPtr doc, int64_t id);

    int64_t id_ = 0;
};

class Comments final : public detail::Handle {
public:
    Comments() = default;
    int Count() const;
    Comment Item(int index) const;  // 1-based, document order; 5941 when missing
    // The author is the caller's: the name and initials the comment is saved with.
    Comment Add(const Range& anchor, std::string_view text, const CommentAuthor& author = {});

private:
    friend struct detail::Access;
    Comments(DocPtr doc, std::shared_ptr<detail::RangeState> scope);

    std::shared_ptr<detail::RangeState> scope_;
};

class Border final : public detail::Handle {
public:
    Border() = default;
    LineStyle GetLineStyle() const;
    void SetLineStyle(LineStyle style);

private:
    friend struct detail::Access;
    Border(DocPtr doc, BorderType type);

    BorderType type_ = BorderType::Top;
};

// Borders of what the selection covers (the selected table or cells).
class Borders final : public detail::Handle {
public:
    Borders() = default;
    Border Item(BorderType type) const;
    Border Item(int type) const;  // -1 ... -6; 5941 otherwise

private:
    friend struct detail::Access;
    explicit Borders(DocPtr doc);


};

class FillFormat final : public detail::Handle {
public:
    FillFormat() = default;
    bool Visible() const;
    void SetVisible(bool v);
    float Transparency() const;
    void SetTransparency(float t);

private:
    friend struct detail::Access;
    FillFormat(DocPtr doc, int64_t shapeId);

    int64_t shapeId_ = 0;
};

class LineFormat final : public detail::Handle {
public:
    LineFormat() = default;
    bool Visible() const;
    void SetVisible(bool v);

private:
    friend struct detail::Access;
    LineFormat(DocPtr doc, int64_t shapeId);

    int64_t shapeId_ = 0;
};

class TextFrame final : public detail::Handle {
public:
    TextFrame() = default;
    Range TextRange() const;

private:
    friend struct detail::Access;
    TextFrame(DocPtr doc, int64_t shapeId);

    int64_t shapeId_ = 0;
};

class Shape final : public detail::Handle {
public:
    Shape() = default;
    std::string Name() const;
    void SetName(std::string_view name);
    void Delete();
    void Select() const;
    TextFrame GetTextFrame() const;
    FillFormat Fill() const;
    LineFormat Line() const;
    RelativeVerticalPosition GetRelativeVerticalPosition() const;
    void SetRelativeVerticalPosition(RelativeVerticalPosition p);
    float Top() const;
    void SetTop(float points);
    float Left() const;
    float Width() const;
    float Height() const;
    // What the shape's wrap format says; a new text box lets the text run under it.
    WrapType GetWrapType() const;
    void SetWrapType(WrapType type);
    int64_t Id() const { Live(); return id_; }

private:
    friend struct detail::Access;
    Shape(DocPtr doc, int64_t id);

    int64_t id_ = 0;
};

class Shapes final : public detail::Handle {
public:
    Shapes() = default;
    int Count() const;
    Shape Item(int index) const;  // 1-based; 5941 when missing
    // Anchored at the paragraph of the current selection.
    Shape AddTextbox(TextOrientation orientation, float left, float top, float width, float height);

private:
    friend struct detail::Access;
    explicit Shapes(DocPtr doc);


};

// The single selection of a document: a range of a story, possibly a set of
// table cells (after Table/Column/Cell.Select) or a shape (after Shape.Select).
class Selection final : public detail::Handle {
public:
    Selection() = default;
    Range GetRange() const;
    Tables GetTables() const;
    std::string Text() const;
    void SetText(std::string_view text);  // replaces the selected text; the selection covers the new text
    long Start() const;
    long End() const;
    long MoveEnd(Unit unit = Unit::Character, long count = 1);
    long MoveStart(Unit unit = Unit::Character, long count = 1);
    void Collapse(CollapseDirection direction = CollapseDirection::Start);
    Borders GetBorders() const;
    ParagraphFormat GetParagraphFormat() const;
    Font GetFont() const;
    Shape ShapeRange() const;  // the selected shape; 4605-style error when none
    void TypeText(std::string_view text);  // inserts at the selection and collapses after it

private:
    friend struct detail::Access;
    explicit Selection(DocPtr doc);


};

class View final : public detail::Handle {
public:
    View() = default;
    bool ShowAll() const;
    void SetShowAll(bool v);
    bool ShowHiddenText() const;
    void SetShowHiddenText(bool v);
    // Late-bound view flags ("ShowComments", "ShowInsertionsAndDeletions",
    // "ShowFormatting", ...); unknown names throw 438.
    bool GetByName(std::string_view name) const;
    void SetByName(std::string_view name, bool v);

private:
    friend struct detail::Access;
    explicit View(DocPtr doc);


};

class Window final : public detail::Handle {
public:
    Window() = default;
    View GetView() const;

private:
    friend struct detail::Access;
    explicit Window(DocPtr doc);


};

// Page and margins of the document's last section, in points.
class PageSetup final : public detail::Handle {
public:
    PageSetup() = default;
    float PageWidth() const;
    float PageHeight() const;
    float LeftMargin() const;
    void SetLeftMargin(float points);
    float RightMargin() const;
    void SetRightMargin(float points);

private:
    friend struct detail::Access;
    explicit PageSetup(DocPtr doc);


};

// Font of the text that has none of its own (the styles' document defaults).
class DefaultFont final : public detail::Handle {
public:
    DefaultFont() = default;
    std::string Name() const;  // empty when the styles name none
    void SetName(std::string_view name);
    float Size() const;
    void SetSize(float points);

private:
    friend struct detail::Access;
    explicit DefaultFont(DocPtr doc);


};

class Application : public com::Object, public std::enable_shared_from_this<Application> {
public:
    std::string TypeName() const override { return "Application"; }
    // Selection of the active document; 4248-style error without one.
    Selection GetSelection() const;
    float CentimetersToPoints(double cm) const;  // 1 cm = 72 / 2.54 points

    void SetActiveDocument(const std::shared_ptr<Document>& doc);
    std::shared_ptr<Document> ActiveDocument() const;

private:
    std::weak_ptr<Document> active_;
};

class Document : public com::Object, public std::enable_shared_from_this<Document> {
public:
    ~Document() override;
    std::string TypeName() const override { return "Document"; }

    // A new empty document (one empty paragraph, A4 page).
    static std::shared_ptr<Document> New(std::shared_ptr<Application> app = nullptr);
    // Loads a DOCX file; clear com::Error values for unreadable or malformed packages.
    static std::shared_ptr<Document> Open(const std::filesystem::path& path,
                                          std::shared_ptr<Application> app = nullptr);
    static std::shared_ptr<Document> FromBytes(std::string_view docx,
                                               std::shared_ptr<Application> app = nullptr);

    // Atomic save: temporary file beside the target, flush, rename.
    void SaveAs(const std::filesystem::path& path);
    std::string ToBytes() const;
    // Counts every change to the characters of any story: while it stays the
    // same, the text, comments, tables and shapes are the same.
    uint64_t Edits() const;

    Range Content() const;
    Range GetRange(long start, long end) const;
    Tables GetTables() const;
    Comments GetComments() const;
    Shapes GetShapes() const;
    Window ActiveWindow() const;
    PageSetup GetPageSetup() const;
    DefaultFont GetDefaultFont() const;
    std::shared_ptr<Application> GetApplication() const;
    bool PrintRevisions() const;
    void SetPrintRevisions(bool v);
    bool ShowRevisions() const;
    void SetShowRevisions(bool v);

private:
    friend struct detail::Access;
    explicit Document(DocPtr state);

    DocPtr state_;
};

}  // namespace kado::word
