// The error catalogues of all libraries together (every platform/*/error.h):
// no number is named twice, not even in two catalogues, and none lacks its text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace {

TEST(ErrorCatalogues, EveryNumberHasOneNameAndADescription) {
    const std::regex entry(R"re(ErrorCode\s+(\w+)\s*\{\s*(\d+)\s*,\s*"([^"]*)"\s*\})re");
    const std::regex declared(R"re(constexpr\s+(com::)?ErrorCode\s)re");
    std::map<int, std::string> named;  // number -> where it is named
    int catalogues = 0;
    for (const auto& lib : std::filesystem::directory_iterator(std::filesystem::path(KADO_SOURCE_DIR) / "platform")) {
        const auto header = lib.path() / "error.h";
        if (!std::filesystem::exists(header)) continue;
        ++catalogues;
        std::ifstream in(header);
        std::stringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        const std::string where = lib.path().filename().string() + "/error.h ";
        long parsed = 0;
        for (std::sregex_iterator m(s.begin(), s.end(), entry), end; m != end; ++m, ++parsed) {
            EXPECT_FALSE((*m)[3].str().empty()) << where << (*m)[1];
            const auto [first, fresh] = named.emplace(std::stoi((*m)[2].str()), where + (*m)[1].str());
            EXPECT_TRUE(fresh) << where << (*m)[1] << " has the number of " << first->second;
        }
        EXPECT_GT(parsed, 0) << where;
        EXPECT_EQ(parsed, std::distance(std::sregex_iterator(s.begin(), s.end(), declared), std::sregex_iterator()))
            << where << "has entries this test cannot read";
    }
    ASSERT_GT(catalogues, 1);
}

}  // namespace
