#include "plugin/invoice/kv_word_auto.h"

#include <string>

#include "platform/com/error.h"
#include "platform/forms/forms.h"
#include "plugin/common/need.h"
#include "plugin/common/steps.h"
#include "plugin/component/honora.h"
#include "plugin/component/session_context.h"
#include "plugin/invoice/g_frm_tabelle.h"

namespace honora {

using namespace kado::word;
using kado::forms::OptionButton;

namespace {

Document& Doc() {
    auto& doc = Session().Doc;
    if (!doc) RaiseObjectNotSet();
    return *doc;
}

Application& WordApp() {
    auto& app = Session().WordApp;
    if (!app) RaiseObjectNotSet();
    return *app;
}


struct Marker {
    std::string primary;
    std::string alternative;
    bool Matches(const std::string& text) const { return text == primary || text == alternative; }
};

Marker SplitMarker(std::string_view argument) {
    const auto comma = argument.find(',');
    if (comma == std::string_view::npos) return {std::string(argument), "--------"};
    return {std::string(argument.substr(0, comma)), std::string(argument.substr(comma + 1))};
}

OptionButton& Option(kado::forms::Form& form, std::string_view name, int index = -1) {
    return form.Get<OptionButton>(name, index);
}

}  // namespace

Table TabelleErmitteln(std::string_view markerText, int16_t /*unusedMode*/) {
    Steps s("KV_WordAuto", "TabelleErmitteln");
    Table result;
    Marker marker;
    int n = 0;
    int comments = 0;
    bool cursorInUnmarkedTable = false;

    s(100, [&] { marker = SplitMarker(markerText); });
    s(110, [&] { comments = Doc().GetComments().Count(); });
    for (int i = 1; i <= comments; ++i) {
        s(120, [&] {
            if (marker.Matches(Doc().GetComments().Item(i).Text())) ++n;
        });
    }
    s(130, [&] {
        auto tables = WordApp().GetSelection().GetTables();
        if (tables.Count() > 0 && tables.Item(1).GetRange().GetComments().Count() == 0) cursorInUnmarkedTable = true;
    });
    if (n == 0 && !cursorInUnmarkedTable) return result;

    std::shared_ptr<kado::forms::Form> form;
    s(140, [&] { form = G_frmTabelle(); });
    if (!form) return result;
    auto& dialog = *form;
    // More blocks than options: the surplus indexes fail one by one and are logged.
    s.Each(150, 0, n, [&](int i) { Option(dialog, "optTabelle", i).SetEnabled(true); });
    s.Each(160, n, kBlockOptions, [&](int i) { Option(dialog, "optTabelle", i).SetEnabled(false); });
    s(170, [&] { Option(dialog, "optAktTabelle").SetEnabled(cursorInUnmarkedTable); });
    s(180, [&] { dialog.Show(true); });

    // Reading an option of a dialog closed with its close box loads it again,
    // which selects optNeu: the answer is then a new block.
    bool current = false;
    bool fresh = false;
    s(190, [&] { current = Option(dialog, "optAktTabelle").Value(); });
    if (current) {
        s(200, [&] { result = WordApp().GetSelection().GetTables().Item(1); });
        return result;
    }
    s(210, [&] { fresh = Option(dialog, "optNeu").Value(); });
    if (fresh) return result;

    int wanted = kBlockOptions;
    for (int i = 0; i < kBlockOptions - 1; ++i) {
        s(220, [&] {
            if (Option(dialog, "optTabelle", i).Value() && wanted == kBlockOptions) wanted = i + 1;
        });
    }
    int tables = 0;
    int found = 0;
    s(230, [&] { tables = Doc().GetTables().Count(); });
    for (int t = 1; t <= tables && !result; ++t) {
        s(240, [&] {
            Table table = Doc().GetTables().Item(t);
            auto marks = table.GetRange().GetComments();
            if (marks.Count() > 0 && marker.Matches(marks.Item(1).Text()) && ++found == wanted) result = table;
        });
    }
    return result;
}

void BookmarkSetzen(const Table& feeTable, std::string_view markerText) {
    RequireObject(feeTable);
    Steps s("KV_WordAuto", "BookmarkSetzen");
    Range at;
    s(100, [&] { feeTable.GetCell(1, 5).Select(); });
    s(110, [&] { at = feeTable.GetCell(1, 5).GetRange(); });
    s(120, [&] { at.Collapse(CollapseDirection::End); });
    // Anchored on the selection, which covers the whole cell; the range only
    // supplies the comment collection.
    s(130, [&] { at.GetComments().Add(WordApp().GetSelection().GetRange(), markerText, kCommentAuthor); });
    s(140, [&] { at = {}; });
}

}  // namespace honora
