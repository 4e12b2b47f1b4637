#include "host/erechnung/export.h"

#include <cstdio>
#include <cstdlib>

#include "host/erechnung/erechnung.h"
#include "host/session.h"
#include "platform/com/atomic_file.h"
#include "platform/com/error.h"
#include "platform/dao/dao.h"
#include "platform/word/word.h"

namespace kado::host::einvoicing {

int RunExport(const ExportRequest& a, std::ostream& out, std::ostream& err) {
    namespace fs = std::filesystem;
    if (!dao::IsServerUri(a.db) && !fs::exists(a.db)) {
        err << "kado-host: Datenbank " << a.db << " gibt es nicht\n";
        return 2;
    }
    if (!fs::exists(a.doc)) {
        err << "kado-host: Rechnungsdokument " << a.doc.string() << " gibt es nicht\n";
        return 2;
    }
    std::shared_ptr<word::Document> doc;
    try {
        doc = word::Document::Open(a.doc);
    } catch (const com::Error& e) {
        err << "kado-host: Rechnungsdokument " << a.doc.string() << " nicht lesbar: " << Quote(e) << "\n";
        return 2;
    }
    auto db = std::make_shared<dao::Workspace>()->OpenDatabase(a.db);
    BuildResult e = BuildEInvoice(*db, *doc, a.invoice, a.user);
    if (e.refusal) {
        err << "kado-host: " << e.refusal->Text() << "\n";
        return 2;
    }
    try {
        com::WriteFileAtomically(a.out, WriteUbl(*e.einvoice));
    } catch (const com::WriteFailure& f) {
        err << "kado-host: " << a.out.string() << " nicht geschrieben (" << f.what() << ")\n";
        return 1;
    }
    const EInvoice& b = *e.einvoice;
    auto euro = [](Cent c) {
        char text[32];
        std::snprintf(text, sizeof text, "%s%lld,%02lld €", c < 0 ? "-" : "", std::llabs(c) / 100, std::llabs(c) % 100);
        return std::string(text);
    };
    out << "E-Rechnung geschrieben: " << a.out.string() << "\n"
        << "  Rechnung " << b.number << " (Rechnungsart " << b.art << "), " << b.lines.size()
        << " Positionen, netto " << euro(b.net) << ", Umsatzsteuer " << euro(b.vat) << ", zahlbar "
        << euro(b.payable) << "\n";
    return 0;
}

}  // namespace kado::host::einvoicing
