// The form on which the host asks for the invoice record, answered headless.
#include "host/invoice_choice.h"

#include <gtest/gtest.h>

#include "platform/forms/driver.h"

namespace kado::host {
namespace {

TEST(InvoiceChoice, GivesTheChosenRecordOrNothing) {
    const std::vector<InvoiceRecord> records{{1, "RE-2026-0001", "", 0, {}, {}}, {7, "RE-2026-0007", "", 0, {}, {}}, {9, "", "", 0, {}, {}}};
    using Answer = std::function<void(forms::Form&)>;
    forms::Driver* driver = nullptr;
    struct Case {
        std::vector<InvoiceRecord> records;
        std::optional<int> current;
        Answer answer;
        std::optional<int> chosen;
    } cases[] = {
        // The first record stands chosen when the session had none.
        {records, std::nullopt, [&](forms::Form& f) { driver->Click(f, "cmdOK"); }, 1},
        {records, 1, [&](forms::Form& f) {
             driver->Select(f, "cmbRechnung", 2);
             driver->Click(f, "cmdOK");
         }, 9},
        {records, 7, [&](forms::Form& f) { driver->Click(f, "cmdOK"); }, 7},
        {records, 7, [&](forms::Form& f) {
             driver->Select(f, "cmbRechnung", 0);
             driver->Click(f, "cmdAbbruch");
         },
         std::nullopt},
        {records, 7, [](forms::Form& f) { f.Close(); }, std::nullopt},
        // Without records OK cannot be pressed; the form is closed.
        {{}, std::nullopt,
         [](forms::Form& f) {
             EXPECT_FALSE(f.Item("cmdOK").Enabled());
             f.Close();
         },
         std::nullopt},
    };
    for (auto& c : cases) {
        auto desktop = std::make_shared<forms::HeadlessDesktop>();
        forms::Driver d(desktop);
        driver = &d;
        std::string list;
        desktop->QueueAnswer([&](forms::Form& f) {
            for (const auto& entry : f.Get<forms::ComboBox>("cmbRechnung").List()) list += entry + "|";
            c.answer(f);
        });
        EXPECT_EQ(ChooseInvoice(desktop, "kado.sqlite", c.records, c.current), c.chosen);
        EXPECT_EQ(desktop->ModalRuns(), std::vector<std::string>{"frmRechnungWahl"});
        if (!c.records.empty()) {
            std::string lines;
            for (const auto& r : c.records) lines += InvoiceLine(r) + "|";
            EXPECT_EQ(list, lines);
            EXPECT_EQ(list.rfind("   1  RE-2026-0001 ", 0), 0u) << list;
        }
    }
}

}  // namespace
}  // namespace kado::host
