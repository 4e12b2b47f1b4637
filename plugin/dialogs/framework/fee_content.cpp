#include "plugin/dialogs/framework/fee_content.h"

#include "plugin/common/steps.h"
#include "plugin/dialogs/framework/field_access.h"
#include "plugin/dialogs/framework/frame_controls.h"

namespace honora {

namespace forms = kado::forms;

namespace {

const CellSpec* PayableCell(const FeeRows& rows) {
    for (const auto& block : rows.blocks)
        for (const auto& variant : block.variants)
            for (const auto& cell : variant.cells)
                if (cell.role == Role::Payable) return &cell;
    return nullptr;
}

FeeMark MarkOf(Role role) { return role == Role::Excluded ? FeeMark::Excluded() : FeeMark{}; }

std::string CellTextOf(const CellText& text, forms::Form& form, const FeeRecord& fees) {
    switch (text.from) {
        case CellText::From::Literal: return text.value;
        case CellText::From::Field: return FieldTextOf(form, text.value) + text.suffix;
        case CellText::From::Caption: return form.Get<forms::Label>(text.value).Caption() + text.suffix;
        case CellText::From::Fee: return fees.Text(text.value) + text.suffix;
        case CellText::From::Computed: return text.compute(form);
    }
    return {};
}

}  // namespace

FeeTable FeeTableOf(const Category& category, forms::Form& form, const FeeRecord& fees) {
    Steps s(category.name, "CommandEnde_Click");
    const FeeRows& rows = category.rows;
    FeeTable t;
    s(1000, [&] {
        for (const auto& title : rows.titles) {
            if (!title.when || title.when(form)) {
                t.title = title.text;
                break;
            }
        }
    });
    s(1010, [&] { t.share = form.Get<forms::MaskEdBox>(ctl::kBezug).Text(); });
    if (const CellSpec* fee = PayableCell(rows)) {
        s(1020, [&] {
            t.fee = fees.Text(fee->text.value);
            t.feeShown = fees.Shown(fee->text.value);
        });
    }

    int16_t row = 3;
    for (const auto& block : rows.blocks) {
        int chosen = -1;
        s(1030, [&] {
            chosen = block.fallback;
            for (size_t i = 0; i < block.variants.size(); ++i) {
                const Condition& when = block.variants[i].when;
                if (!when || when(form)) {
                    chosen = static_cast<int>(i);
                    return;
                }
            }
            chosen = -1;
        });
        if (chosen >= 0) {
            if (!block.variants[static_cast<size_t>(chosen)].cells.empty())
                t.blocks.emplace_back(row, static_cast<int16_t>(row + block.height - 1));
            for (const auto& cell : block.variants[static_cast<size_t>(chosen)].cells) {
                bool written = !cell.when;
                if (cell.when) s(1040, [&] { written = cell.when(form); });
                if (!written) continue;
                s(1050, [&] {
                    t.cells.push_back({static_cast<int16_t>(row + cell.row), cell.column, CellTextOf(cell.text, form, fees),
                                       cell.bold, MarkOf(cell.role),
                                       cell.role == Role::Payable || cell.role == Role::Adjustment});
                });
            }
        }
        if (chosen >= 0 || block.keepsPlace) row = static_cast<int16_t>(row + block.height);
    }
    int16_t spare = 0;
    if (rows.spareRows) s(1060, [&] { spare = rows.spareRows(form); });
    if (rows.shareFactor) s(1070, [&] { t.shareFactor = rows.shareFactor(form); });
    t.rows = static_cast<int16_t>(row - 1 + spare);
    t.shareRow = static_cast<int16_t>(row + 1);
    return t;
}

}  // namespace honora
