// kado-host's session command: GO made on a new empty document, Show called
// for one invoice, then what Show read into the session and wrote to Verw.log.
#pragma once

#include <ostream>
#include <string>

namespace kado::host {

struct SessionOptions {
    std::string db;  // database file or postgresql:// URI
    int user = 1;
    int invoice = 1;
    int category = 0;
};

// Exit code: 0 done, 2 missing or unusable files. A file that is no database
// throws the platform's error, which kado-host reports with exit 1.
int RunSession(const SessionOptions& options, std::ostream& out, std::ostream& err);

}  // namespace kado::host
