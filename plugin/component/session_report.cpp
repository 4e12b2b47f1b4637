// GO's report interface: the session values Show read, as the host shows
// them, and the error log's place.
#include <string>

#include "plugin/common/log_path.h"
#include "plugin/component/go.h"
#include "plugin/component/session_context.h"

namespace honora {

std::vector<std::pair<std::string, std::string>> GO::SessionValues() const {
    const auto& c = Session();
    const auto yes = [](bool b) { return std::string(b ? "Ja" : "Nein"); };
    const auto percent = [](int16_t v) { return std::to_string(v) + " %"; };
    return {
        {"SQL", yes(c.SQL)},
        {"RecordsetOptionen", std::to_string(c.RecordsetOptionen)},
        {"ID_Auftragsnummer", std::to_string(c.ID_Auftragsnummer)},
        {"MeßtruppZusammenfassen", yes(c.MeßtruppZusammenfassen)},
        {"ID_Lieferschein", std::to_string(c.ID_Lieferschein)},
        {"AbschlagAbsolut", kado::com::Variant(c.AbschlagAbsolut).ToString() + " €"},
        {"AbschlagProzent", percent(c.AbschlagProzent)},
        {"Zahlungsziel", yes(c.Zahlungsziel)},
        {"Mehrwertsteuersatz", percent(c.Mehrwertsteuersatz)},
        {"Preisgruppe1..4", std::to_string(c.Preisgruppe1) + " " + std::to_string(c.Preisgruppe2) + " " +
                                std::to_string(c.Preisgruppe3) + " " + std::to_string(c.Preisgruppe4)},
        {"Mehrwertsteuer", percent(c.Mehrwertsteuer)},
        {"MwStErmäßigt", percent(c.MwStErmäßigt)},
        {"Rabatt", percent(c.Rabatt)},
        {"Rechnung", c.Rechnung ? "übergeben" : "keine"},
    };
}

std::filesystem::path GO::LogFile() const { return LogPath(); }

}  // namespace honora
