#include "installer/reason.h"

#include <cerrno>

namespace kado::setup {

std::string Reason(std::error_code ec) {
    if (ec.category() == std::generic_category() || ec.category() == std::system_category()) {
        switch (ec.value()) {
            case ENOENT: return "Datei oder Ordner nicht vorhanden";
            case EACCES:
            case EPERM: return "keine Berechtigung";
            case EISDIR: return "am Ziel liegt ein Ordner";
            case EEXIST: return "am Ziel liegt etwas anderes als eine Datei";
            case ENOTDIR: return "ein Teil des Pfades ist kein Ordner";
            case ENOSPC: return "kein Platz mehr auf dem Datenträger";
            case EROFS: return "der Datenträger ist schreibgeschützt";
            case ETXTBSY:
            case EBUSY: return "die Datei ist gerade in Gebrauch";
            case ENOEXEC: return "die Datei ist kein ausführbares Programm";
            case EAGAIN:
            case ENOMEM: return "zu wenig Systemressourcen";
            default: break;
        }
    }
    return "Systemfehler " + std::to_string(ec.value()) + ": " + ec.message();
}

}  // namespace kado::setup
