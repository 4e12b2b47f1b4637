#include "plugin/component/go.h"

#include <cmath>
#include <string>

#include "platform/settings/settings.h"
#include "platform/word/word.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/component/dialog_registry.h"
#include "plugin/component/session_context.h"
#include "plugin/common/need.h"

namespace honora {

namespace {

using kado::com::Variant;

// Stored value / 10 as a floating-point quotient, then to 16 bits half to even.
int16_t Tenths(const Variant& v) { return Variant(v.ToDouble() / 10.0).ToInteger(); }

// Runs a record reader whose field read may fail; such a failure is logged
// as the reader's own (module "Funktionen", its step 100) and gives 0.
template <class Read>
Variant ViaReader(const char* reader, Read&& read) {
    Variant result = static_cast<int16_t>(0);
    Steps s("Funktionen", reader);
    s(100, [&] { result = read(); });
    return result;
}

}  // namespace

// Each let converts first and assigns only on success, so a failed
// conversion leaves the stored value as it was.
Variant GO::GetFlurstücksnummer() const { return Variant(Session().Flurstücksnummer); }
void GO::LetFlurstücksnummer(const Variant& v) { Session().Flurstücksnummer = v.ToString(); }
Variant GO::GetFläche() const { return Variant(Session().Fläche); }
void GO::LetFläche(const Variant& v) { Session().Fläche = v.ToDouble(); }
Variant GO::GetBodenwert() const { return Variant(Session().Bodenwert); }
void GO::LetBodenwert(const Variant& v) { Session().Bodenwert = v.ToDouble(); }
Variant GO::GetLage() const { return Variant(Session().Lage); }
void GO::LetLage(const Variant& v) { Session().Lage = v.ToString(); }
Variant GO::GetBaukosten() const { return Variant(Session().Baukosten); }
void GO::LetBaukosten(const Variant& v) { Session().Baukosten = v.ToDouble(); }
Variant GO::GetAchslänge() const { return Variant(Session().Achslänge); }
void GO::LetAchslänge(const Variant& v) { Session().Achslänge = v.ToInteger(); }
Variant GO::GetGrenzlänge() const { return Variant(Session().Grenzlänge); }
void GO::LetGrenzlänge(const Variant& v) { Session().Grenzlänge = v.ToLong(); }
Variant GO::GetFlurstücke() const { return Variant(Session().Flurstücke); }
void GO::LetFlurstücke(const Variant& v) { Session().Flurstücke = v.ToInteger(); }
Variant GO::GetAnzahlGrenzpunkte() const { return Variant(Session().AnzahlGrenzpunkte); }
void GO::LetAnzahlGrenzpunkte(const Variant& v) { Session().AnzahlGrenzpunkte = v.ToInteger(); }

Variant GO::GetDoc() const { return Variant(kado::com::ObjectPtr(Session().Doc)); }
void GO::LetDoc(const Variant& v) {
    auto doc = v.As<kado::word::Document>();
    Session().Doc = doc;
    // The document stays stored even when its application cannot be had.
    Session().WordApp = doc->GetApplication();
}

Variant GO::GetID_Benutzer() const { return Variant(Session().ID_Benutzer); }
void GO::LetID_Benutzer(const Variant& v) { Session().ID_Benutzer = v.ToLong(); }
Variant GO::GetNeueAbfrage() const { return Variant(kado::com::ObjectPtr(Session().NeueAbfrage)); }
void GO::LetNeueAbfrage(const Variant& v) { Session().NeueAbfrage = v.As<kado::dao::Database>(); }
std::string GO::GetDatenbankPfad() const { return Session().DatenbankPfad; }
void GO::LetDatenbankPfad(const std::string& v) { Session().DatenbankPfad = v; }
std::shared_ptr<kado::dao::Workspace> GO::GetKadoWorkspace() const { return Session().KadoWorkspace; }
void GO::LetKadoWorkspace(const Variant& v) { Session().KadoWorkspace = v.As<kado::dao::Workspace>(); }

void GO::Show(int16_t Index, std::shared_ptr<kado::dao::Recordset>& Rechnung, int32_t hWndMDI) {
    auto& c = Session();
    Steps s("Rechnung", "Show");
    std::shared_ptr<kado::dao::Database> db;
    std::shared_ptr<kado::dao::Recordset> rs;
    std::string sql;

    s(100, [&] { c.hWndMDI = hWndMDI; });
    s(110, [&] {
        c.SQL = Variant(kado::settings::GetSetting("KadoVerwaltung", "Pfade", "SQL", "False")).ToBool();
    });
    s(120, [&] {
        if (c.SQL) c.RecordsetOptionen = 512;
    });
    s(130, [&] {
        if (!c.KadoWorkspace) RaiseObjectNotSet();
        db = c.KadoWorkspace->OpenDatabase(c.DatenbankPfad);
    });
    s(140, [&] { sql = "SELECT * FROM TempDoc WHERE ID_Benutzer = " + std::to_string(c.ID_Benutzer); });
    s(150, [&] {
        if (!db) RaiseObjectNotSet();
        rs = db->OpenRecordset(sql, kado::dao::dbOpenDynaset, c.RecordsetOptionen);
    });
    auto field = [&](const char* name) {
        if (!rs) RaiseObjectNotSet();
        return rs->Field(name);
    };
    // The record readers are handed the field itself, so a failing read is
    // theirs: logged under their name and read as 0, never left stale.
    auto readNumber = [&](const char* name) {
        return ViaReader("ZahlDatensatzLesen", [&] { return ZahlDatensatzLesen(field(name)); });
    };
    auto bool_ = [&](const char* name) {
        return ViaReader("BoolDatensatzLesen", [&] { return BoolDatensatzLesen(field(name)); });
    };
    s(160, [&] { c.ID_Auftragsnummer = field("ID_Auftragsnummer").ToLong(); });
    s(170, [&] { c.MeßtruppZusammenfassen = field("MeßtruppZusammenfassen").ToBool(); });
    s(180, [&] { c.ID_Lieferschein = readNumber("ID_Lieferschein").ToLong(); });
    s(190, [&] { c.AbschlagAbsolut = readNumber("AbschlagAbsolut").ToDouble(); });
    s(200, [&] { c.AbschlagProzent = readNumber("AbschlagProzent").ToInteger(); });
    s(210, [&] { c.Zahlungsziel = bool_("Zahlungsziel").ToBool(); });
    s(220, [&] { c.Mehrwertsteuersatz = Tenths(readNumber("Mehrwertsteuersatz")); });
    s(230, [&] { c.Preisgruppe1 = readNumber("Preisgruppe1").ToInteger(); });
    s(240, [&] { c.Preisgruppe2 = readNumber("Preisgruppe2").ToInteger(); });
    s(250, [&] { c.Preisgruppe3 = readNumber("Preisgruppe3").ToInteger(); });
    s(260, [&] { c.Preisgruppe4 = readNumber("Preisgruppe4").ToInteger(); });
    s(270, [&] { c.Mehrwertsteuer = Tenths(field("Mehrwertsteuer")); });
    s(280, [&] { c.MwStErmäßigt = Tenths(field("MwStErmäßigt")); });
    s(290, [&] { c.Rabatt = readNumber("Rabatt").ToInteger(); });
    s(300, [&] { c.Rechnung = Rechnung; });
    s(310, [&] { OpenDialog(Index); });
    // Released, not closed: the host may still use the same file.
    s(320, [&] {
        rs.reset();
        db.reset();
    });
}

std::shared_ptr<IGO> CreateGO() { return std::make_shared<GO>(); }

std::shared_ptr<IGO> CreateObject(const char* progId) {
    if (progId == nullptr || std::string(progId) != kProgIdGO) return nullptr;
    return CreateGO();
}

}  // namespace honora
