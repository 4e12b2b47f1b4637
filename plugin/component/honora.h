// Public interface of the component server honora (its type library):
// the class GO behind the ProgID "honora.GO", its event interface and record.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/com/variant.h"
#include "platform/dao/dao.h"
#include "platform/word/word.h"

namespace honora {

// Dual interface of GO, "_GO" in the type library (a name C++ reserves);
// members in the order the host binds them.
class IGO {
public:
    virtual ~IGO() = default;
    virtual void Show(int16_t Index, std::shared_ptr<kado::dao::Recordset>& Rechnung, int32_t hWndMDI) = 0;
    virtual void Aktualisieren() = 0;
    virtual kado::com::Variant GetFlurstücksnummer() const = 0;
    virtual void LetFlurstücksnummer(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetFläche() const = 0;
    virtual void LetFläche(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetBodenwert() const = 0;
    virtual void LetBodenwert(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetLage() const = 0;
    virtual void LetLage(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetBaukosten() const = 0;
    virtual void LetBaukosten(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetAchslänge() const = 0;
    virtual void LetAchslänge(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetGrenzlänge() const = 0;
    virtual void LetGrenzlänge(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetFlurstücke() const = 0;
    virtual void LetFlurstücke(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetAnzahlGrenzpunkte() const = 0;
    virtual void LetAnzahlGrenzpunkte(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetDoc() const = 0;
    virtual void LetDoc(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetID_Benutzer() const = 0;
    virtual void LetID_Benutzer(const kado::com::Variant& v) = 0;
    virtual kado::com::Variant GetNeueAbfrage() const = 0;
    virtual void LetNeueAbfrage(const kado::com::Variant& v) = 0;
    virtual std::string GetDatenbankPfad() const = 0;
    virtual void LetDatenbankPfad(const std::string& v) = 0;
    virtual std::shared_ptr<kado::dao::Workspace> GetKadoWorkspace() const = 0;
    virtual void LetKadoWorkspace(const kado::com::Variant& v) = 0;
};

// Outgoing event interface, "__GO" in the type library; nothing raises it.
class IGOEvents {
public:
    virtual ~IGOEvents() = default;
    virtual void DatenAktualisieren() = 0;
};

// Published record type, used by no member of IGO.
struct GO_Error {
    std::string Funktionsname;
    std::string strFehler;
    std::string strModul;
    std::string strFunktion;
    std::string strNr;
    std::string Hinweis;
};

// A second interface of GO for the host's diagnostics: what Show read into the
// session, and where the component logs. Reached by dynamic cast from IGO.
class ISessionReport {
public:
    virtual ~ISessionReport() = default;
    // The session values as name and display text, in the order Show reads them.
    virtual std::vector<std::pair<std::string, std::string>> SessionValues() const = 0;
    // The file the component's error log is written to.
    virtual std::filesystem::path LogFile() const = 0;
};

inline constexpr const char* kProgIdGO = "honora.GO";
// GO's class identity in the component registry.
inline constexpr const char* kClsidGO = "{5C2A4E31-8B7D-4F0A-9E61-2D3B7C8A9F14}";

// What Show's Index opens; any other index opens nothing.
inline constexpr std::array<const char*, 5> kCategories = {
    "frmKat5, Grenzfeststellung nach Nr. 30.6",      "frmKat4, Gebäudeaufnahme nach Nr. 30.4",
    "frmKat3, lang gestreckte Anlagen nach Nr. 30.3", "frmKat2, Baulandumlegung nach Nr. 30.2",
    "frmKat1, Zerlegung nach Nr. 30.1",
};

// The marker comments the host's invoice template carries for the component.
namespace marke {
// Where fee tables and the totals table go.
inline constexpr std::string_view kStart = "kadoStart";
// Amount fields of the invoice text, replaced by the totals.
inline constexpr std::string_view kGesamt = "kadoGesamt";
inline constexpr std::string_view kNetto = "kadoNetto";
inline constexpr std::string_view kMwSt = "kadoMwSt";
inline constexpr std::string_view kBrutto = "kadoBrutto";
inline constexpr std::string_view kAuslagen = "kadoAuslagen";
}  // namespace marke
// The author the component's marker comments are saved with; the demo
// template's marks carry it too.
inline constexpr kado::word::CommentAuthor kCommentAuthor{"Honora", "H"};

// How the invoice totals collect fee amounts from the document. The totals
// and the host's e-invoice both walk the fee tables through this one rule.
namespace fee_collection {
// Cell (1,2) of a totals table; a table whose cell reads so is no fee table.
inline constexpr std::string_view kSummentabelle = "Summe";
// The column that holds a row's fee amount.
inline constexpr int kBetragsspalte = 5;
// The fee mark of a cell the totals skip; any other non-empty mark is the
// row's VAT rate in percent, no mark the standard rate.
inline constexpr std::string_view kNichtGezählt = "no";

// One counted amount: table and row (1-based, document order), the amount
// text without end-of-cell mark and carriage returns, and the cell's mark.
struct Gebührenzelle {
    int tabelle = 0;
    int zeile = 0;
    std::string betrag;
    std::string marke;  // "" for the standard rate
};

// Calls `zelle(const Gebührenzelle&)` for every amount the totals count, in
// document order. `still(step)` runs one reading step and swallows its
// failure in the caller's own idiom; a failed reading skips what it read.
template <class Still, class Zelle>
void GebührenzellenDurchgehen(const kado::word::Document& doc, Still&& still, Zelle&& zelle) {
    int tabellen = 0;
    still([&] { tabellen = doc.GetTables().Count(); });
    for (int t = 1; t <= tabellen; ++t) {
        kado::word::Table table;
        still([&] { table = doc.GetTables().Item(t); });
        if (!table) continue;
        // An unreadable heading cell does not rule the table out.
        bool summen = false;
        still([&] {
            summen = table.GetCell(1, 2).GetRange().Text() == std::string(kSummentabelle) + kado::word::kCellEndMark;
        });
        if (summen) continue;
        int zeilen = 0;
        still([&] { zeilen = table.GetRows().Count(); });
        for (int r = 1; r <= zeilen; ++r) {
            Gebührenzelle z{t, r, {}, {}};
            bool lesbar = false;
            still([&] {
                z.betrag = table.GetCell(r, kBetragsspalte).GetRange().Text();
                z.betrag.resize(z.betrag.size() >= 2 ? z.betrag.size() - 2 : 0);
                lesbar = true;
            });
            if (!lesbar) continue;  // a table with fewer columns adds nothing
            still([&] {
                auto comments = table.GetCell(r, kBetragsspalte).GetRange().GetComments();
                if (comments.Count() > 0) z.marke = comments.Item(1).Text();
            });
            if (z.betrag.empty() || z.marke == kNichtGezählt) continue;
            std::erase(z.betrag, '\r');
            zelle(std::as_const(z));
        }
    }
}
}  // namespace fee_collection

}  // namespace honora

// C entry point of the server: a heap-held std::shared_ptr<honora::IGO>
// for "honora.GO" (free it with honora_ReleaseObject), nullptr otherwise.
// The library also exports the platform's entry points (kado_CreateObject,
// kado_ReleaseObject, kado_RegisterServer, kado_UnregisterServer) under the
// same contract, see platform/com/component_server.h.
extern "C" {
void* honora_CreateObject(const char* progId);
void honora_ReleaseObject(void* object);
}

namespace honora {

// The GO inside an object that kado::com::CreateObject made for "honora.GO";
// it keeps that object, and with it the library, alive. Releasing the last
// GO ends the component: open dialogs close unconfirmed, the lasting forms
// unload, and the next GO starts a fresh session.
inline std::shared_ptr<IGO> GOFrom(const std::shared_ptr<void>& object) {
    if (!object) return nullptr;
    return std::shared_ptr<IGO>(object, static_cast<std::shared_ptr<IGO>*>(object.get())->get());
}

}  // namespace honora
