#include "host/cli_german.h"

#include <memory>
#include <regex>
#include <utility>
#include <vector>

namespace kado::host {
namespace {

class GermanFormatter : public CLI::Formatter {
public:
    GermanFormatter() {
        label("Usage", "Aufruf");
        label("OPTIONS", "OPTIONEN");
        label("SUBCOMMAND", "BEFEHL");
        label("SUBCOMMANDS", "BEFEHLE");
        label("Positionals", "Argumente");
        label("REQUIRED", "(Pflicht)");
        label("Needs", "braucht");
        label("Excludes", "nicht mit");
        label("Env", "Umgebung");
        label("INT", "ZAHL");
        label("UINT", "ZAHL");
        label("FLOAT", "ZAHL");
        label("BOOLEAN", "JA|NEIN");
    }

    std::string make_group(std::string group, bool is_positional,
                           std::vector<const CLI::Option*> opts) const override {
        if (group == "Options") group = "Optionen";
        return CLI::Formatter::make_group(std::move(group), is_positional, std::move(opts));
    }

    // CLI11 adds English notes on required option counts; kado-host sets none.
    std::string make_description(const CLI::App* app) const override {
        const std::string& text = app->get_description();
        return text.empty() ? std::string() : text + "\n";
    }
};

void Apply(CLI::App& app, const std::shared_ptr<GermanFormatter>& formatter) {
    app.formatter(formatter);
    app.set_help_flag("-h,--help", "diese Hilfe zeigen");
    for (CLI::Option* opt : app.get_options())
        if (opt->get_group() == "Options") opt->group("Optionen");
    for (CLI::App* sub : app.get_subcommands({})) {
        if (sub->get_group() == "Subcommands") sub->group("Befehle");
        Apply(*sub, formatter);
    }
}

// The first rule whose pattern is found in CLI11's text gives the German. The
// texts alone tell the cases apart: an error's name is sometimes the app's.
struct Rule {
    std::regex pattern;
    std::string german;  // std::regex format: $1, $2 ...
};

const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules = [] {
        auto r = [](const char* pattern, const char* german) { return Rule{std::regex(pattern), german}; };
        return std::vector<Rule>{
            r("^A subcommand is required", "kein Befehl angegeben"),
            r("^Requires at least ([0-9]+) subcommands", "mindestens $1 Befehle nötig"),
            r("^(\\S+) is required", "$1 fehlt"),
            r("The following argument was not expected: (.*)$", "unerwartetes Argument: $1"),
            r("The following arguments were not expected: (.*)$", "unerwartete Argumente: $1"),
            r("^(\\S+): [0-9]+ required \\S+ missing", "$1 ohne Wert"),
            r("^Expected exactly ([0-9]+) arguments to (\\S+), got ([0-9]+)",
              "$2 braucht genau $1 Werte, angegeben: $3"),
            r("^Expected at least ([0-9]+) arguments to (\\S+), got ([0-9]+)",
              "$2 braucht mindestens $1 Werte, angegeben: $3"),
            r("^(\\S+): At least ([0-9]+) required but received ([0-9]+)",
              "$1 braucht mindestens $2 Werte, angegeben: $3"),
            r("^(\\S+): At Most ([0-9]+) required but received ([0-9]+)",
              "$1 nimmt höchstens $2 Werte, angegeben: $3"),
            r("^(\\S+) was given a disallowed flag override", "$1 nimmt keinen Wert"),
            r("^The value (.*) is not an allowed value for (\\S+)$",
              "$2: \"$1\" ist nicht erlaubt"),
            r("^Could not convert: (\\S+) = (.*)$", "$1: \"$2\" ist keine gültige Angabe"),
            r("^(\\S+): too many inputs for a flag", "$1 ist ein Schalter und nimmt keinen Wert"),
            r("^(\\S+): Should be true/false or a number", "$1: erwartet ja/nein oder eine Zahl"),
            r("^(\\S+): Value (.*) not in range (\\S+) to (\\S+)$",
              "$1: \"$2\" liegt nicht im Bereich $3 bis $4"),
            r("^(\\S+): Value (.*) could not be converted", "$1: \"$2\" ist keine Zahl"),
            r("^(\\S+) requires (\\S+)", "$1 geht nur zusammen mit $2"),
            r("^(\\S+) excludes (\\S+)", "$1 geht nicht zusammen mit $2"),
            r("^(.*) was not readable", "$1 ist nicht lesbar"),
        };
    }();
    return rules;
}

}  // namespace

void UseGerman(CLI::App& app) {
    Apply(app, std::make_shared<GermanFormatter>());
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return "kado-host: Fehler in den Argumenten: " + GermanParseFailure(e) + "\n";
    });
}

std::string GermanParseFailure(const CLI::Error& error) {
    // std::regex recurses per character: a huge argument must not reach it whole.
    constexpr size_t kLongest = 400;
    std::string text = error.what();
    if (text.size() > kLongest) {
        size_t cut = kLongest;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
        text = text.substr(0, cut) + " … (" + std::to_string(text.size()) + " Bytes)";
    }
    for (const Rule& rule : Rules()) {
        std::smatch m;
        if (std::regex_search(text, m, rule.pattern)) return m.format(rule.german);
    }
    // Our own validators answer in German already ("--category: Kategorie ...").
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) return text;
    return "unverständliche Angabe (CLI11: \"" + text + "\")";
}

}  // namespace kado::host
