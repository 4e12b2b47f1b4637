// kado-bench-template: one given DOCX, in process, as bench_confirmation does
// it on the generated invoice: the floor of any engine (unzip, parse,
// serialise, deflate, rename) or a confirmation of a boundary determination.
//
// Usage: kado-bench-template floor IN OUT [REPEAT]
//        kado-bench-template confirm DB IN OUT [REPEAT]
// Prints the median CPU ms of one pass.
#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/invoice_gen.h"
#include "host/batch_run.h"
#include "platform/com/atomic_file.h"
#include "platform/word/package.h"

namespace {

namespace fs = std::filesystem;
using namespace kado;

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

host::Action Act(const std::string& text) {
    std::string error;
    return *host::ParseAction(text, error);
}

// The inputs kado-template-check confirms into every template.
host::RunOptions Confirmation(const fs::path& db, const fs::path& in, const fs::path& out) {
    host::RunOptions o;
    o.db = db;
    o.doc = in;
    o.out = out;
    o.invoice = 1;
    o.category = 0;
    for (const char* a : {"set mskAGPo=12", "set mskAGP=3", "set mskBoden=250", "ok"}) o.actions.push_back(Act(a));
    return o;
}

int Usage() {
    std::fprintf(stderr, "Aufruf: kado-bench-template floor EIN AUS [WIEDERHOLUNGEN]\n"
                         "        kado-bench-template confirm DB EIN AUS [WIEDERHOLUNGEN]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::function<bool()> pass;
    std::size_t next = 0;
    if (args.size() >= 3 && args[0] == "floor") {
        pass = [&] { return bench::FloorPass(args[1], args[2]), true; };
        next = 3;
    } else if (args.size() >= 4 && args[0] == "confirm") {
        const auto o = Confirmation(args[1], args[2], args[3]);
        pass = [o] {
            std::ostringstream out, err;
            if (host::Run(o, out, err) == 0) return true;
            std::cerr << err.str();
            return false;
        };
        next = 4;
    } else {
        return Usage();
    }
    const int repeat = args.size() > next ? std::max(1, std::atoi(args[next].c_str())) : 1;
    std::vector<double> ms;
    for (int i = 0; i < repeat; ++i) {
        const double t0 = CpuMs();
        if (!pass()) return 1;
        ms.push_back(CpuMs() - t0);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%.3f\n", ms[ms.size() / 2]);
    return 0;
}
