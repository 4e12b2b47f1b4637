// Where a test's host database lives, for tests run against both engines: an
// SQLite file in the test's folder, or a schema of its own in the PostgreSQL
// database that KADO_TEST_PG_URI names (tests/pg/pg_server.sh start prints
// it), dropped again at the end. Without that variable the server's tests
// are skipped with the reason Unavailable gives.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/dao/dao.h"

namespace kado::testing {

enum class Engine { Sqlite, Postgres };

inline std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Sqlite ? "Sqlite" : "Postgres";
}

inline std::string ServerUri() {
    const char* uri = std::getenv("KADO_TEST_PG_URI");
    return uri ? uri : "";
}

// Why the engine cannot be tested here; empty when it can.
inline std::string Unavailable(Engine engine) {
    if (engine == Engine::Postgres && ServerUri().empty())
        return "no PostgreSQL server: KADO_TEST_PG_URI is not set (eval \"$(tests/pg/pg_server.sh start)\")";
    return {};
}

class TestDatabase {
public:
    // `file` is the SQLite database's path; the server's schema is named after `name`.
    TestDatabase(Engine engine, const std::filesystem::path& file, std::string_view name) : engine_(engine) {
        if (engine == Engine::Sqlite) {
            where_ = file.string();
            return;
        }
        static int count = 0;
        schema_ = "kado_t" + std::to_string(::getpid()) + "_" + std::to_string(++count) + "_";
        for (char c : name)
            if (std::isalnum(static_cast<unsigned char>(c)) && schema_.size() < 60)
                schema_ += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string base = ServerUri();
        dao::Workspace().OpenDatabase(base)->Execute("CREATE SCHEMA " + schema_);
        where_ = base + (base.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + schema_;
    }
    ~TestDatabase() {
        if (engine_ != Engine::Postgres) return;
        try {
            dao::Workspace().OpenDatabase(ServerUri())->Execute("DROP SCHEMA " + schema_ + " CASCADE");
        } catch (const std::exception&) {
            // The server went away: its data goes with it.
        }
    }
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // The path or URI to hand to Workspace::OpenDatabase and the host.
    const std::string& Where() const { return where_; }

private:
    Engine engine_;
    std::string schema_;
    std::string where_;
};

}  // namespace kado::testing
