// Long invoices for the benchmarks: the demo invoice after one real
// confirmation, with its fee table repeated at the XML level.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "host/batch_action.h"

namespace kado::bench {

// The inputs of the demo confirmation (Grenzfeststellung, 12 points, 3 marked,
// land value 250 €/m²), as kado-host actions.
std::vector<host::Action> DemoInputs();

// The demo job of a category (Show's index) as the main job plays it.
std::vector<host::Action> DemoJob(int category);

// Writes DIR/kado.sqlite and DIR/Rechnung.docx (refused when they exist),
// confirms one fee table into DIR/Rechnung-1.docx and returns that file's bytes.
std::string ConfirmedDemo(const std::filesystem::path& dir);

// The confirmed invoice with its fee table (marker and comments with it)
// standing `tables` times; comment ids stay unique.
std::string WithFeeTables(const std::string& confirmedDocx, int tables);

}  // namespace kado::bench
