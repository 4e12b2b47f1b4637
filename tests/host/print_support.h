// Invoices made as a user makes them (kado-host init, then one confirmed fee
// dialog per table) and printed to PDF by LibreOffice, for the print tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kado::host::test {

std::string Quote(const std::string& s);
// The first of the tools the print tests need (soffice, pdftotext, pdftoppm)
// that is not installed; empty when all are.
std::string MissingPrintTool();
// Runs a shell command with its output in `log`; the exit code.
int Sh(const std::string& cmd, const std::filesystem::path& log);

// One confirmation: the dialog's category and what the user does before OK
// (kado-host run actions).
struct Job {
    int category = 0;
    std::vector<std::string> actions;
};
// The category's demo job as host/demo_jobs.sh plays it.
Job DemoJob(int category);

// The demo invoice in dir/demo after each job was confirmed as a new fee
// table, saved as dir/NAME.docx; empty with the reason in `error` when a step failed.
std::filesystem::path MakeInvoice(const std::filesystem::path& dir, const std::string& name, const std::vector<Job>& jobs,
                                  std::string& error);

// The PDF's pages as PNG files PREFIX-N.png in `folder`, replacing those of
// an earlier run; the files, in page order, or none when pdftoppm failed.
std::vector<std::filesystem::path> KeepPages(const std::filesystem::path& pdf, const std::filesystem::path& folder,
                                             const std::string& prefix, const std::filesystem::path& log);

// The words of a PDF page as `pdftotext -bbox-layout` boxes them, in points
// from the page's top left, in its reading order and grouped into its lines.
struct Word {
    double xMin, yMin, xMax, yMax;
    std::string text;
};
struct Page {
    double width, height;
    std::vector<Word> words;
    std::vector<std::vector<Word>> lines;
};
std::vector<Page> WordBoxes(const std::string& html);

}  // namespace kado::host::test
