#include "support/built_plugin.h"
#include "print_support.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "platform/word/lo_support.h"
#include "support/temp_dir.h"

namespace kado::host::test {

namespace fs = std::filesystem;
using word::test::ReadAll;

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string MissingPrintTool() {
    for (const char* tool : {"soffice", "pdftotext", "pdftoppm"})
        if (std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) != 0) return tool;
    return {};
}

int Sh(const std::string& cmd, const fs::path& log) {
    const int rc = std::system((cmd + " > " + Quote(log.string()) + " 2>&1").c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

Job DemoJob(int category) {
    const kado::testing::TempDir tmp("kado-demo-job");
    const fs::path& dir = tmp.Path();
    const fs::path script = fs::path(KADO_SOURCE_DIR) / "host" / "demo_jobs.sh";
    Job job{category, {}};
    if (Sh("bash -c " + Quote("source " + Quote(script.string()) + " && demo_job " + std::to_string(category) +
                              " && printf '%s\\n' \"${job[@]}\""),
           dir / "job.txt") == 0) {
        std::istringstream lines(ReadAll(dir / "job.txt"));
        for (std::string line; std::getline(lines, line);)
            if (!line.empty()) job.actions.push_back(line);
    }
    return job;
}

fs::path MakeInvoice(const fs::path& dir, const std::string& name, const std::vector<Job>& jobs, std::string& error) {
    const fs::path host = fs::path(KADO_BINARY_DIR) / "bin" / "kado-host";
    const std::string env = "XDG_CONFIG_HOME=" + Quote((dir / "config").string()) + " ";
    // The invoice's own config home, with the built plug-in registered by the tool.
    if (Sh(env + Quote((host.parent_path() / "kado-regsvr").string()) + " /s " + Quote(kado::testing::BuiltPlugin().string()),
           dir / "regsvr.log") != 0) {
        error = "kado-regsvr: " + ReadAll(dir / "regsvr.log");
        return {};
    }
    if (Sh(env + Quote(host.string()) + " init " + Quote((dir / "demo").string()), dir / "init.log") != 0) {
        error = "kado-host init: " + ReadAll(dir / "init.log");
        return {};
    }
    fs::path doc = dir / "demo" / "Rechnung.docx";
    for (size_t k = 0; k < jobs.size(); ++k) {
        const fs::path next = k + 1 == jobs.size() ? dir / (name + ".docx") : dir / ("step" + std::to_string(k) + ".docx");
        std::string cmd = env + Quote(host.string()) + " run --db " + Quote((dir / "demo" / "kado.sqlite").string()) +
                          " --doc " + Quote(doc.string()) + " --out " + Quote(next.string()) + " --invoice 1 --category " +
                          std::to_string(jobs[k].category);
        // From the second table on the table-choice dialog asks: a new table each time.
        if (k > 0) cmd += " --do 'choose optNeu'";
        for (const auto& action : jobs[k].actions) cmd += " --do " + Quote(action);
        if (Sh(cmd + " --do ok", dir / "run.log") != 0) {
            error = "kado-host run, table " + std::to_string(k + 1) + ": " + ReadAll(dir / "run.log");
            return {};
        }
        doc = next;
    }
    return doc;
}

std::vector<fs::path> KeepPages(const fs::path& pdf, const fs::path& folder, const std::string& prefix, const fs::path& log) {
    fs::create_directories(folder);
    auto ours = [&](const fs::path& p) { return p.filename().string().starts_with(prefix + "-"); };
    for (const auto& old : fs::directory_iterator(folder))
        if (ours(old.path())) fs::remove(old.path());
    if (Sh("pdftoppm -png -r 60 " + Quote(pdf.string()) + " " + Quote((folder / prefix).string()), log) != 0) return {};
    std::vector<fs::path> pages;
    for (const auto& png : fs::directory_iterator(folder))
        if (ours(png.path())) pages.push_back(png.path());
    std::sort(pages.begin(), pages.end());
    return pages;
}

std::vector<Page> WordBoxes(const std::string& html) {
    static const std::regex page(R"re(<page width="([0-9.]+)" height="([0-9.]+)")re");
    static const std::regex item(
        R"re(<line |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<Page> pages;
    for (size_t at = 0;;) {
        std::smatch m;
        if (!std::regex_search(html.cbegin() + static_cast<long>(at), html.cend(), m, page)) break;
        const size_t start = at + static_cast<size_t>(m.position(0));
        const size_t end = std::min(html.find("</page>", start), html.size());
        Page p{std::stod(m[1].str()), std::stod(m[2].str()), {}, {}};
        const std::string body = html.substr(start, end - start);
        for (std::sregex_iterator it(body.begin(), body.end(), item), none; it != none; ++it) {
            if (!(*it)[1].matched) {
                p.lines.emplace_back();
                continue;
            }
            Word w{std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4]), (*it)[5]};
            p.words.push_back(w);
            if (!p.lines.empty()) p.lines.back().push_back(std::move(w));
        }
        pages.push_back(std::move(p));
        at = end;
    }
    return pages;
}

}  // namespace kado::host::test
