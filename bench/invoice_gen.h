// Long invoices for the benchmarks: the demo invoice after one real
// confirmation, with its fee table repeated at the XML level.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "host/batch_action.h"

namespace kado::bench {

// The inputs of the demo confirmation (Grenzfeststellung, 12 points, 3 marked,
// land value 250 €/m²), as kado-host actions.
std::vector<host::Action> DemoInputs();

// The demo job of a category (Show's index) as the main job plays it.
std::vector<host::Action> DemoJob(int category);

// This process's settings and component registry go to configHome, where the
// built plug-in is registered: a benchmark touches no user's registry.
void UseBuiltPlugin(const std::filesystem::path& configHome);

// Writes DIR/kado.sqlite and DIR/Rechnung.docx (refused when they exist), with
// DIR/config as this process's config home holding the built plug-in, confirms
// one fee table into DIR/Rechnung-1.docx and returns that file's bytes.
std::string ConfirmedDemo(const std::filesystem::path& dir);

// The confirmed invoice with its fee table (marker and comments with it)
// standing `tables` times; comment ids stay unique.
std::string WithFeeTables(const std::string& confirmedDocx, int tables);

// The floor of any engine on one file: every part unzipped, each XML part
// parsed and serialised again, deflated into a new package, renamed into place.
void FloorPass(const std::filesystem::path& in, const std::filesystem::path& out);

// A benchmark run's own folder under the temp folder, removed with it, with
// the generated invoices in it, each size written once.
class Invoices {
public:
    explicit Invoices(const std::string& folderName);
    ~Invoices();
    Invoices(const Invoices&) = delete;
    Invoices& operator=(const Invoices&) = delete;
    const std::filesystem::path& Dir() const noexcept { return dir_; }
    const std::filesystem::path& With(int tables);

private:
    std::filesystem::path dir_;
    std::string confirmed_;
    std::map<int, std::filesystem::path> files_;
};

}  // namespace kado::bench
