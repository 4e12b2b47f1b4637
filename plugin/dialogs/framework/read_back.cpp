#include "plugin/dialogs/framework/read_back.h"

#include <string>

#include "platform/com/error.h"
#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/dialogs/framework/cell_io.h"
#include "plugin/dialogs/framework/field_access.h"
#include "plugin/dialogs/framework/share.h"

namespace honora {

namespace forms = kado::forms;

namespace {

void Apply(forms::Form& form, const Restore& restore, std::string text) {
    switch (restore.into) {
        case Restore::Into::Nothing: return;
        case Restore::Into::Text: return SetFieldText(form, restore.key, std::move(text));
        case Restore::Into::Caption: return form.Get<forms::Label>(restore.key).SetCaption(std::move(text));
        case Restore::Into::Number:
            return SetFieldText(form, restore.key,
                                WertFormatieren(kado::com::NumberToText(CVal(text)), restore.width, restore.decimals,
                                                true));
        case Restore::Into::Rule: return restore.apply(form, text);
    }
}

bool Unconditional(const BlockSpec& block) {
    for (const auto& v : block.variants)
        if (!v.when) return true;
    return false;
}

// The first literal cell, by which the read-back knows the variant.
const CellSpec* KeyCell(const Variant& variant) {
    for (const auto& cell : variant.cells)
        if (cell.text.from == CellText::From::Literal && !cell.text.value.empty()) return &cell;
    return nullptr;
}

}  // namespace

void TabelleEinlesen(const FeeRows& rows, forms::Form& form, const kado::word::Table& feeTable) {
    Steps s("Rechnung", "TabelleEinlesen");
    int zeilen = 0;
    int columns = 0;
    s(90, [&] {
        zeilen = feeTable.GetRows().Count();
        columns = feeTable.GetColumns().Count();
    });
    // A cell the table lacks fails its step, so the input it would fill keeps its
    // value instead of taking the empty text (a shorter or foreign table).
    auto zelle = [&](int r, int c) {
        if (r > zeilen || c > columns)
            kado::com::Raise(kado::word::err::NoSuchMember, "The requested member of the collection does not exist.");
        return ZelleEinlesen(feeTable, static_cast<int16_t>(r), static_cast<int16_t>(c));
    };

    s(100, [&] {
        const std::string title = zelle(1, 1);
        for (const auto& t : rows.titles) {
            if (t.key.empty() || title.find(t.key) == std::string::npos) continue;
            if (!t.selects.empty()) Select(form, t.selects);
            break;
        }
    });
    int r = 3;
    for (const auto& block : rows.blocks) {
        int found = -1;
        if (block.variants.size() == 1 && !block.variants.front().when) {
            found = 0;
        } else {
            s(110, [&] {
                for (size_t i = 0; i < block.variants.size(); ++i) {
                    const CellSpec* key = KeyCell(block.variants[i]);
                    if (key && zelle(r + key->row, key->column) == key->text.value) {
                        found = static_cast<int>(i);
                        return;
                    }
                }
            });
            if (found < 0) found = block.fallback;
        }
        if (found >= 0) {
            const Variant& variant = block.variants[static_cast<size_t>(found)];
            for (const auto& cell : variant.cells) {
                if (cell.restore.into == Restore::Into::Nothing) continue;
                s(120, [&] { Apply(form, cell.restore, zelle(r + cell.row, cell.column)); });
            }
            if (!variant.selects.empty()) s(130, [&] { Select(form, variant.selects); });
        }
        if (found >= 0 || block.keepsPlace || Unconditional(block)) r += block.height;
    }
    // The share row follows the last block after one empty row; without a share
    // the read logs and mskBezug keeps "1000,00".
    s(140, [&] { ReadShareRow(form, feeTable, static_cast<int16_t>(r + 1)); });
    if (rows.implied) s(150, [&] { rows.implied(form, feeTable); });
}

}  // namespace honora
