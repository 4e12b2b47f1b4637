// kado-bench-invoice DIR TABLES...: writes the demo data into DIR and, for
// each size, DIR/Rechnung-N.docx with N fee tables.
#include <cstdio>
#include <exception>
#include <string>

#include "bench/invoice_gen.h"
#include "platform/com/atomic_file.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kado-bench-invoice DIR TABLES...\n");
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        const std::string confirmed = kado::bench::ConfirmedDemo(dir);
        for (int i = 2; i < argc; ++i) {
            const int n = std::stoi(argv[i]);
            if (n < 1 || n > 100000) throw std::out_of_range(argv[i]);
            const auto file = dir / ("Rechnung-" + std::to_string(n) + ".docx");
            kado::com::WriteFileAtomically(file, kado::bench::WithFeeTables(confirmed, n));
            std::printf("%s\n", file.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kado-bench-invoice: %s\n", e.what());
        return 1;
    }
    return 0;
}
