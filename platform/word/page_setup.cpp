// Page margins and the document's default font: edits mark the section or
// the styles for rewriting, so an unedited document saves them as read.
#include <cmath>

#include "docstate.h"
#include "platform/com/fault_plan.h"

namespace kado::word {

namespace {
constexpr float kMaxPoints = 1584;  // 22 inches, the largest page a word processor offers

long ToTwips(float points) { return std::lround(points * 20.0f); }
float ToPoints(long twips) { return static_cast<float>(twips) / 20.0f; }

void SetMargin(detail::DocState& d, long detail::PageTwips::*side, float points) {
    if (!(points >= 0 && points <= kMaxPoints)) com::Raise(err::ValueOutOfRange);
    detail::PageTwips p = d.page;
    p.*side = ToTwips(points);
    // A text area narrower than half a centimetre is what a word processor refuses too.
    if (p.width - p.left - p.right < 283) com::Raise(err::ValueOutOfRange);
    d.page = p;
    d.pageEdited = true;
    d.textWidth = ToPoints(p.width - p.left - p.right);
}
}  // namespace

PageSetup::PageSetup(DocPtr doc) : Handle(std::move(doc)) {}
float PageSetup::PageWidth() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return ToPoints(doc_->page.width);
}
float PageSetup::PageHeight() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return ToPoints(doc_->page.height);
}
float PageSetup::LeftMargin() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return ToPoints(doc_->page.left);
}
float PageSetup::RightMargin() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return ToPoints(doc_->page.right);
}
void PageSetup::SetLeftMargin(float points) {
    Live();
    KADO_FAULT_PROBE(Word);
    SetMargin(*doc_, &detail::PageTwips::left, points);
}
void PageSetup::SetRightMargin(float points) {
    Live();
    KADO_FAULT_PROBE(Word);
    SetMargin(*doc_, &detail::PageTwips::right, points);
}

DefaultFont::DefaultFont(DocPtr doc) : Handle(std::move(doc)) {}
std::string DefaultFont::Name() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return doc_->defaultFontName;
}
float DefaultFont::Size() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return doc_->defaultFontSize;
}

void DefaultFont::SetName(std::string_view name) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (name.empty() || name.size() > 31) com::Raise(err::ValueOutOfRange);
    doc_->defaultFontName = std::string(name);
    doc_->defaultFontEdited = true;
}

void DefaultFont::SetSize(float points) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!(points >= 1 && points <= 1638)) com::Raise(err::ValueOutOfRange);
    // The file keeps half points.
    doc_->defaultFontSize = std::round(points * 2) / 2;
    doc_->defaultFontEdited = true;
}

PageSetup Document::GetPageSetup() const {
    KADO_FAULT_PROBE(Word);
    return detail::Make<PageSetup>(state_);
}
DefaultFont Document::GetDefaultFont() const {
    KADO_FAULT_PROBE(Word);
    return detail::Make<DefaultFont>(state_);
}

}  // namespace kado::word
