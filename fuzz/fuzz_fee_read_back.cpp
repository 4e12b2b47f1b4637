// A fee table read back comes from a stored document, perhaps edited by hand
// or written by another program: any cell texts and any size of table must
// leave every category's dialog loaded and consistent, never crash it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"
#include "platform/settings/settings.h"
#include "platform/word/word.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/read_back.h"
#include "plugin/dialogs/framework/recalculation.h"

namespace {

// The log goes to a scratch program folder, not the system temp folder.
void ScratchLog() {
    static const bool done = [] {
        const auto dir = std::filesystem::temp_directory_path() / "kado-fuzz-read-back";
        std::filesystem::create_directories(dir / "config");
        std::filesystem::create_directories(dir / "prog");
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", (dir / "prog").string());
        return true;
    }();
    (void)done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ScratchLog();
    if (size < 2) return 0;
    using Factory = honora::Category (*)();
    static constexpr Factory kCategories[] = {honora::kat1::Definition, honora::kat2::Definition,
                                              honora::kat3::Definition, honora::kat4::Definition,
                                              honora::kat5::Definition};
    const honora::Category category = kCategories[data[0] % 5]();
    const int rows = 1 + data[1] % 40;
    // The cell texts, row by row, separated by NUL bytes.
    const std::string_view cells(reinterpret_cast<const char*>(data + 2), size - 2);

    auto doc = kado::word::Document::New();
    auto end = doc->Content();
    end.Collapse(kado::word::CollapseDirection::End);
    auto table = doc->GetTables().Add(end, rows, 5);
    size_t at = 0;
    for (int cell = 0; at <= cells.size() && cell < rows * 5; ++cell) {
        const size_t next = std::min(cells.find('\0', at), cells.size());
        try {
            table.GetCell(1 + cell / 5, 1 + cell % 5).GetRange().InsertAfter(cells.substr(at, next - at));
        } catch (const std::exception&) {
            // Text the document refuses (not UTF-8) leaves the cell empty.
        }
        at = next + 1;
    }

    auto form = kado::forms::Form::Create(std::make_shared<kado::forms::HeadlessDesktop>(), category.name,
                                          category.design);
    form->Load();
    honora::TabelleEinlesen(category.rows, *form, table);
    honora::GebührBerechnen(category, *form);
    form->Unload();
    return 0;
}
