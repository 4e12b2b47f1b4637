// The process-wide values that GO's properties and Show set and that the
// dialogs and the invoice routines read. The only global state of the plug-in.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/dao/dao.h"
#include "platform/forms/forms.h"
#include "platform/word/word.h"

namespace honora {

struct SessionContext {
    // Job values, set only through GO's properties.
    std::string Flurstücksnummer;
    std::string Lage;
    double Fläche = 0;
    double Bodenwert = 0;
    double Baukosten = 0;
    int16_t Achslänge = 0;
    int16_t Flurstücke = 0;
    int16_t AnzahlGrenzpunkte = 0;
    int32_t Grenzlänge = 0;

    // Host objects (held, never closed).
    std::shared_ptr<kado::word::Document> Doc;
    std::shared_ptr<kado::word::Application> WordApp;
    int32_t ID_Benutzer = 0;
    std::shared_ptr<kado::dao::Database> NeueAbfrage;
    std::string DatenbankPfad;
    std::shared_ptr<kado::dao::Workspace> KadoWorkspace;

    // Set by Show.
    int32_t hWndMDI = 0;
    bool SQL = false;
    int16_t RecordsetOptionen = 0;
    std::shared_ptr<kado::dao::Recordset> Rechnung;

    // The user's TempDoc row, read by Show.
    int32_t ID_Auftragsnummer = 0;
    bool MeßtruppZusammenfassen = false;
    int32_t ID_Lieferschein = 0;
    double AbschlagAbsolut = 0;
    int16_t AbschlagProzent = 0;
    bool Zahlungsziel = false;
    int16_t Mehrwertsteuersatz = 0;
    int16_t Preisgruppe1 = 0;
    int16_t Preisgruppe2 = 0;
    int16_t Preisgruppe3 = 0;
    int16_t Preisgruppe4 = 0;
    int16_t Mehrwertsteuer = 0;
    int16_t MwStErmäßigt = 0;
    int16_t Rabatt = 0;

    // The window system the dialogs live on: the one the host installed, else headless.
    std::shared_ptr<kado::forms::Desktop> Desktop;
    // GO objects the host holds through the entry points; the component ends with the last.
    int Objects = 0;
    // Forms that stay loaded as long as the component (created on first use).
    std::shared_ptr<kado::forms::Form> frmIcons;
    std::shared_ptr<kado::forms::Form> G_frmTabelle;
};

// The one instance per loaded component.
SessionContext& Session();

// The session's desktop: the host's installed one, else a new headless one.
std::shared_ptr<kado::forms::Desktop> SessionDesktop();

// The session's one hidden frmIcons, created on the first reference.
std::shared_ptr<kado::forms::Form> IconForm();

// Component end: unloads the lasting forms (their Unload handlers run, e.g. the
// table-choice dialog stores its placement) and drops them.
void UnloadLastingForms();

// Back to the start values (0, false, empty, no object); for tests and unload.
// Unloads the lasting forms first.
void ResetSession();

}  // namespace honora
