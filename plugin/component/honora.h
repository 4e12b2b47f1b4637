// Public interface of the component server honora (its type library):
// the class GO behind the ProgID "honora.GO", its event interface and record.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/com/variant.h"
#include "platform/dao/dao.h"

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
