// Every place in Verw.log (module, procedure, step) names one statement of the
// plug-in's code: the sources are read for numbered steps and a place claimed twice fails.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Place {
    std::string module;     // a literal, "dialog:*" (any dialog's name), "dialog:<file>" or "expr:<text>"
    std::string procedure;  // a literal or "expr:<text>"
    std::string step;
    std::string where;  // file:line
};

// Blanks out comments and the insides of string and character literals, so
// braces and parentheses can be counted; literal texts are looked up in the original.
std::string Code(const std::string& src) {
    std::string out = src;
    for (size_t i = 0; i < src.size(); ++i) {
        if (src.compare(i, 2, "//") == 0) {
            while (i < src.size() && src[i] != '\n') out[i++] = ' ';
        } else if (src.compare(i, 2, "/*") == 0) {
            size_t end = src.find("*/", i + 2);
            end = end == std::string::npos ? src.size() : end + 2;
            for (; i < end; ++i)
                if (src[i] != '\n') out[i] = ' ';
            --i;
        } else if (src[i] == '"' || src[i] == '\'') {
            const char q = src[i++];
            for (; i < src.size() && src[i] != q; ++i) {
                if (src[i] == '\\') out[i++] = ' ';
                out[i] = ' ';
            }
        }
    }
    return out;
}

// The argument texts of the call whose "(" is at open, split at top-level commas.
std::vector<std::string> Arguments(const std::string& src, const std::string& code, size_t open) {
    std::vector<std::string> args;
    int depth = 0;
    size_t start = open + 1;
    for (size_t i = open; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '(' || c == '[' || c == '{') ++depth;
        if (c == ')' || c == ']' || c == '}') --depth;
        if ((depth == 1 && c == ',') || depth == 0) {
            std::string a = src.substr(start, i - start);
            a = std::regex_replace(a, std::regex(R"(^\s+|\s+$)"), "");
            args.push_back(a);
            start = i + 1;
            if (depth == 0) break;
        }
        if (args.size() == 2) break;
    }
    return args;
}

std::string Name(const std::string& arg, const std::string& file) {
    if (std::regex_match(arg, std::regex(R"("[^"]*")"))) return arg.substr(1, arg.size() - 2);
    if (arg == "kName") return "dialog:" + file.substr(0, file.find('_', file.find("kat")));
    if (arg == "category_.name" || arg == "category.name" || arg == "Dialog") return "dialog:*";
    return "expr:" + arg;
}

int LineOf(const std::string& src, size_t pos) { return 1 + static_cast<int>(std::count(src.begin(), src.begin() + pos, '\n')); }

// The numbered steps of one source text; a step that is not a number literal is an error.
std::vector<Place> Places(const std::string& file, const std::string& src, std::vector<std::string>& errors) {
    const std::string code = Code(src);
    std::vector<Place> places;
    struct Active {
        std::string var, module, procedure;
        int depth;
    };
    std::vector<Active> active;
    const std::regex decl(R"(\bSteps\s+(\w+)\s*\()");
    int depth = 0;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '{') ++depth;
        if (c == '}') {
            --depth;
            while (!active.empty() && active.back().depth > depth) active.pop_back();
        }
        if (!std::isalpha(static_cast<unsigned char>(c)) || (i > 0 && (std::isalnum(static_cast<unsigned char>(code[i - 1])) || code[i - 1] == '_' || code[i - 1] == '.' || code[i - 1] == ':')))
            continue;
        std::smatch m;
        const std::string rest = code.substr(i, 200);
        if (std::regex_search(rest, m, decl, std::regex_constants::match_continuous)) {
            const auto args = Arguments(src, code, i + static_cast<size_t>(m.length(0)) - 1);
            if (args.size() == 2) active.push_back({m[1], Name(args[0], file), Name(args[1], file), depth});
            i += static_cast<size_t>(m.length(0)) - 1;
            continue;
        }
        for (auto it = active.rbegin(); it != active.rend(); ++it) {
            if (code.compare(i, it->var.size(), it->var) != 0) continue;
            size_t j = i + it->var.size();
            if (j < code.size() && (std::isalnum(static_cast<unsigned char>(code[j])) || code[j] == '_')) continue;
            while (j < code.size() && code[j] == ' ') ++j;
            if (j >= code.size() || code[j] != '(') continue;
            const auto args = Arguments(src, code, j);
            const std::string where = file + ":" + std::to_string(LineOf(src, i));
            if (args.empty() || !std::regex_match(args[0], std::regex(R"(\d+)")))
                errors.push_back(where + ": step is not a number literal: " + (args.empty() ? "" : args[0]));
            else
                places.push_back({it->module, it->procedure, args[0], where});
            break;
        }
    }
    return places;
}

bool SameModule(const std::string& a, const std::string& b) {
    if (a == b) return true;
    return (a == "dialog:*" && b.rfind("dialog:", 0) == 0) || (b == "dialog:*" && a.rfind("dialog:", 0) == 0);
}

std::vector<std::string> Collisions(const std::vector<Place>& places) {
    std::vector<std::string> found;
    for (size_t i = 0; i < places.size(); ++i)
        for (size_t j = i + 1; j < places.size(); ++j) {
            const Place& a = places[i];
            const Place& b = places[j];
            if (a.step == b.step && a.procedure == b.procedure && SameModule(a.module, b.module))
                found.push_back(a.module + "." + a.procedure + ":" + a.step + " at " + a.where + " and " + b.where);
        }
    return found;
}

TEST(LogPlaces, APlaceClaimedTwiceOrAComputedStepIsFound) {
    const std::string frame = R"(
void Frame() {
    Steps s(category_.name, "CommandEnde_Click");
    s(100, [&] { Go("}"); });
    for (int c = 1; c <= 5; ++c) s(110, [&] { Cell(c); });
}
void Other() {
    Steps s("Rechnung", "CommandEnde_Click");
    s(100, [&] {});  // another module: its own place
})";
    const std::string category = R"(
void Rows() {
    Steps t(kName, "CommandEnde_Click");
    int step = 1000;
    t(110, [&] {});
    t(step += 10, [&] {});
}
void Fee() { Steps s(kName, "Zeitdifferenz"); s(100, [&] {}); })";
    std::vector<std::string> errors;
    auto places = Places("category_dialog.cpp", frame, errors);
    auto more = Places("frm_kat5_table.cpp", category, errors);
    places.insert(places.end(), more.begin(), more.end());
    EXPECT_EQ(places.size(), 5u);
    EXPECT_THAT(errors, ::testing::ElementsAre("frm_kat5_table.cpp:6: step is not a number literal: step += 10"));
    EXPECT_THAT(Collisions(places), ::testing::ElementsAre("dialog:*.CommandEnde_Click:110 at category_dialog.cpp:5 "
                                                           "and frm_kat5_table.cpp:5"));
}

TEST(LogPlaces, EveryPlaceOfThePlugInIsClaimedOnce) {
    std::vector<Place> places;
    std::vector<std::string> errors;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(KADO_SOURCE_DIR) / "plugin")) {
        const auto ext = entry.path().extension();
        if (ext != ".cpp" && ext != ".h") continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        auto found = Places(entry.path().filename().string(), text.str(), errors);
        places.insert(places.end(), found.begin(), found.end());
    }
    EXPECT_GT(places.size(), 200u) << "the sources were not read";
    EXPECT_THAT(errors, ::testing::IsEmpty());
    EXPECT_THAT(Collisions(places), ::testing::IsEmpty());
}

}  // namespace
