#include "host/session_command.h"

#include <cstdint>
#include <string_view>

#include "host/session.h"
#include "platform/com/error.h"
#include "platform/com/utf8.h"
#include "platform/com/variant.h"
#include "platform/dao/dao.h"
#include "plugin/component/honora.h"

namespace kado::host {
namespace {

// A field of the first row as text, or "-" when it cannot be read.
std::string FirstValue(dao::Database& db, const std::string& query, std::string_view field) {
    try {
        auto rs = db.OpenRecordset(query);
        if (rs->EOF_()) return "-";
        return rs->Field(field).ToString();
    } catch (const com::Error&) {
        return "-";
    }
}

}  // namespace

int RunSession(const SessionOptions& o, std::ostream& out, std::ostream& err) {
    HostSession s;
    if (auto problem = s.Open(o.db, {}, o.user)) {
        // A file that is no database is the platform's error here (exit 1); run calls it bad input.
        if (problem->cause) throw *problem->cause;
        return Fail(*problem, err);
    }
    const auto invoice = s.Invoice(o.invoice);
    if (!invoice) {
        err << "kado-host: Rechnung " << o.invoice << " nicht gefunden; Show bekommt keine Rechnung\n";
    } else {
        const std::string dueDatesQuery = "SELECT * FROM Termine WHERE ID_Rechnungsnummer = " + std::to_string(o.invoice);
        out << "Rechnung " << o.invoice << " \"" << invoice->Field("Rechnungsnummer").ToString() << "\", Auftrag "
            << invoice->Field("ID_Auftragsnummer").ToString() << ", Rechnungsart "
            << invoice->Field("Rechnungsart").ToString() << ", Rechnungsdatum "
            << FirstValue(s.Database(), dueDatesQuery + " AND ID_Terminart = 8", "Datum") << "\n";
    }
    out << "Zahlungsziel-Vorlage: " << FirstValue(s.Database(), "Version", "Zahlungsziel") << "\n";

    const auto index = static_cast<int16_t>(o.category);
    s.Show(index, invoice);
    out << "Show(Index " << o.category << ", Benutzer " << o.user << "): ";
    if (index >= 0 && index < static_cast<int16_t>(honora::kCategories.size())) {
        out << honora::kCategories[static_cast<size_t>(index)] << ": Dialog geöffnet\n";
    } else {
        out << "kein Dialog für diesen Index, nichts geöffnet\n";
    }

    out << "Sitzungswerte nach Show:\n";
    for (const auto& [name, value] : s.SessionValues()) {
        // Pad by characters, not bytes: the names carry umlauts.
        const size_t chars = static_cast<size_t>(com::CodePoints(name));
        out << "  " << name << std::string(chars < 24 ? 24 - chars : 1, ' ') << value << "\n";
    }

    const std::string log = s.LogFile().string();
    if (const int logged = s.Logged(); logged > 0) {
        out << "Verw.log: " << logged << " neue Einträge in " << log << "\n";
    } else {
        out << "Verw.log: keine neuen Einträge (" << log << ")\n";
    }
    return 0;
}

}  // namespace kado::host
