#include "platform/dao/host_schema.h"

namespace kado::dao {

std::string_view HostSchemaSql() {
    static constexpr std::string_view sql = R"SQL(CREATE TABLE TempDoc (ID_Benutzer INTEGER, ID_Auftragsnummer INTEGER, MeßtruppZusammenfassen BOOLEAN, ID_Lieferschein INTEGER, AbschlagAbsolut DOUBLE PRECISION, AbschlagProzent INTEGER, Zahlungsziel BOOLEAN, Mehrwertsteuersatz INTEGER, Preisgruppe1 INTEGER, Preisgruppe2 INTEGER, Preisgruppe3 INTEGER, Preisgruppe4 INTEGER, Mehrwertsteuer INTEGER, MwStErmäßigt INTEGER, Rabatt INTEGER);
CREATE TABLE Rechnung (ID_Rechnungsnummer INTEGER PRIMARY KEY, Rechnungsnummer TEXT, ID_Auftragsnummer INTEGER, Rechnungsart INTEGER, NettoRechnung DOUBLE PRECISION, Brutto DOUBLE PRECISION, MehrwertsteuerFreierbetrag DOUBLE PRECISION, Mehrwertsteuersatz INTEGER);
CREATE TABLE Termine (ID_Termin INTEGER PRIMARY KEY, ID_Terminart INTEGER, ID_Rechnungsnummer INTEGER, Datum TIMESTAMP);
CREATE TABLE Version (Zahlungsziel TEXT, AbstandZahlungsziel DOUBLE PRECISION, BundZahlungsziel INTEGER, FontZahlungsZiel INTEGER);
CREATE TABLE Büro (ID_Büro INTEGER PRIMARY KEY, Name TEXT, Straße TEXT, PLZ TEXT, Ort TEXT, Land TEXT, UStIdNr TEXT, Steuernummer TEXT, Ansprechpartner TEXT, Telefon TEXT, EMail TEXT, ElektronischeAdresse TEXT, ElektronischeAdresseArt TEXT, IBAN TEXT, BIC TEXT, Kontoinhaber TEXT);
CREATE TABLE Auftraggeber (ID_Auftraggeber INTEGER PRIMARY KEY, Name TEXT, Straße TEXT, PLZ TEXT, Ort TEXT, Land TEXT, LeitwegID TEXT, ElektronischeAdresse TEXT, ElektronischeAdresseArt TEXT);
CREATE TABLE Auftrag (ID_Auftragsnummer INTEGER PRIMARY KEY, Auftragsnummer TEXT, ID_Auftraggeber INTEGER);
)SQL";
    return sql;
}

void ApplyHostSchema(Database& db) { db.Execute(HostSchemaSql()); }

}  // namespace kado::dao
