// kado-random-sessions [SESSIONS] [SEED] [DIR] [KEEP]: seeded random user sessions on
// every fee dialog; prints the counts and every broken rule, exit 1 if any.
// KEEP: a folder that takes every confirmed invoice, its record and the dialog's captions.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "random/random_sessions.h"
#include "support/built_plugin.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    kado::random::Options o;
    // Whole numbers or nothing: "--help" or "12x" get the usage, not an abort.
    auto number = [&](int at, unsigned long long fallback, unsigned long long most) {
        if (argc <= at) return fallback;
        const std::string text = argv[at];
        size_t used = 0;
        unsigned long long v = 0;
        try {
            v = std::stoull(text, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != text.size() || text[0] == '-' || v > most) {
            std::fprintf(stderr, "usage: kado-random-sessions [SESSIONS] [SEED] [DIR] [KEEP]\n");
            std::exit(2);
        }
        return v;
    };
    o.sessions = static_cast<int>(number(1, 200, 1000000));
    o.seed = number(2, 20261209, ~0ull);
    std::string tmpl = (fs::temp_directory_path() / "kado-random-XXXXXX").string();
    o.dir = argc > 3 ? fs::path(argv[3]) : fs::path(::mkdtemp(tmpl.data()));
    if (argc > 4) o.keep = argv[4];
    // Settings and registry of our own: the built plug-in, no user's files.
    ::setenv("XDG_CONFIG_HOME", (o.dir / "config").c_str(), 1);
    kado::testing::RegisterBuiltPlugin();

    const auto start = std::chrono::steady_clock::now();
    const auto stats = kado::random::RunSessions(o, std::cerr);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const auto& f : stats.failures) std::cout << "FAIL " << f << "\n";
    std::printf("sessions %d, confirmations %d, cancels %d, reopened %d (unchanged %d), most fee tables %d, "
                "failures %zu, %.1f s (seed %llu)\n",
                stats.sessions, stats.confirmations, stats.cancels, stats.reopened, stats.unchangedReopens,
                stats.maxTables, stats.failures.size(), seconds, static_cast<unsigned long long>(o.seed));
    if (argc <= 3) fs::remove_all(o.dir);
    return stats.failures.empty() ? 0 : 1;
}
