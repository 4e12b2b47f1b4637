// Opening and saving documents as DOCX files.
#include "docx_io.h"

#include <cstring>

#include "platform/com/atomic_file.h"
#include "platform/com/error.h"
#include "platform/com/fault_plan.h"

namespace kado::word {

namespace detail {
std::shared_ptr<Document> MakeDocument(DocPtr st, std::shared_ptr<Application> app) {
    auto doc = detail::Access::NewDocument(st);
    if (!app) app = std::make_shared<Application>();
    st->app = app;
    app->SetActiveDocument(doc);
    return doc;
}
}  // namespace detail

std::shared_ptr<Document> Document::Open(const std::filesystem::path& path, std::shared_ptr<Application> app) {
    KADO_FAULT_PROBE(Word);
    const std::string bytes = pkg::ReadFileBounded(path);
    return FromBytes(bytes, std::move(app));
}

std::shared_ptr<Document> Document::FromBytes(std::string_view docx, std::shared_ptr<Application> app) {
    KADO_FAULT_PROBE(Word);
    auto st = std::make_shared<detail::DocState>();
    detail::LoadDocx(*st, docx);
    return detail::MakeDocument(st, std::move(app));
}

void Document::SaveAs(const std::filesystem::path& path) {
    KADO_FAULT_PROBE(Word);
    const std::string bytes = ToBytes();
    if (path.empty() || !path.has_filename()) com::Raise(err::BadName, "Unzulässiger Dateiname: " + path.string());
    try {
        com::WriteFileAtomically(path, bytes);
    } catch (const com::WriteFailure& f) {
        std::string why = std::strerror(f.code().value());
        if (std::string_view(f.Step()) != "mkstemp") why = f.Step() + (": " + why);
        com::Raise(com::err::PathFileAccess, "Datei nicht schreibbar: " + path.string() + " (" + why + ")");
    }
}

std::string Document::ToBytes() const {
    KADO_FAULT_PROBE(Word);
    return detail::SaveDocx(*state_);
}

uint64_t Document::Edits() const { return state_->version; }

}  // namespace kado::word
