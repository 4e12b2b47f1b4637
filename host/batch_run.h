// kado-host's batch mode: open a document and the host database, start the
// component's dialog and play a user's actions on it, then save what it wrote.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

#include "host/batch_action.h"

namespace kado::host {

struct RunOptions {
    std::filesystem::path db;
    std::filesystem::path doc;
    std::filesystem::path out;  // empty: save over doc
    int user = 1;
    std::optional<int> invoice;
    int category = 0;
    std::vector<Action> actions;
    bool strict = false;  // any warning is an error: exit 2, nothing written
};

// Exit code: 0 done, 1 the run failed, 2 bad arguments or unreadable files.
int Run(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace kado::host
