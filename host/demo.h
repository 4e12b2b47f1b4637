// The demo data of the stand-in host: a host database with one job and its
// invoice, and an invoice template carrying the host's marker comments.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/batch_action.h"

#include "platform/word/word.h"

namespace kado::host {

// The template's page and body text: a text area as wide as the fee tables.
inline constexpr double kLeftMarginCm = 2.0;
inline constexpr double kRightMarginCm = 1.5;
inline constexpr char kBodyFont[] = "Arial";
inline constexpr float kBodyFontSize = 9;

// The invoice template as the host writes it: letter text with the markers
// "kadoStart", "kadoGesamt", "kadoNetto", "kadoMwSt", "kadoBrutto", "kadoAuslagen".
std::shared_ptr<word::Document> DemoInvoice();

// The demo job of a category (Show's index) from the job list the main job
// sources (host/demo_jobs.sh, each "N) job=('...' '...') ;;"): its actions,
// without the closing ok. Throws std::runtime_error for a missing job or action.
std::vector<Action> DemoJob(const std::filesystem::path& jobs, int category);

// Writes DIR/kado.sqlite (or, with `server`, the host tables into that
// PostgreSQL database) and DIR/Rechnung.docx, with invoices 1 to `invoices`
// of order 1; refuses (exit code 2) when a file exists or the server database
// holds tables already.
int Init(const std::filesystem::path& dir, const std::string& server = {}, int invoices = 1);

}  // namespace kado::host
