// Typed text and assigned texts reach the masked edit from users and stored
// documents: any mask, text and key sequence must keep the field consistent.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/error.h"
#include "platform/com/utf8.h"
#include "platform/forms/forms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kado::forms;
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    // Mask, text to assign and keys, separated by NUL bytes.
    const auto a = in.find('\0');
    const auto b = a == std::string_view::npos ? a : in.find('\0', a + 1);
    const std::string mask(in.substr(0, a));
    const std::string text(a == std::string_view::npos ? std::string_view{} : in.substr(a + 1, b - a - 1));
    const std::string_view keys = b == std::string_view::npos ? std::string_view{} : in.substr(b + 1);

    auto form = Form::Create(std::make_shared<HeadlessDesktop>(), "frmFuzz",
                             [](Form& f) { f.Add<MaskEdBox>("msk", {}); });
    auto& m = form->Get<MaskEdBox>("msk");
    try {
        m.SetMask(mask);
    } catch (const kado::com::Error&) {
        return 0;  // not UTF-8
    }
    const size_t length = static_cast<size_t>(kado::com::CodePoints(m.Text()));
    try {
        m.SetText(text);
    } catch (const kado::com::Error&) {
    }
    for (size_t i = 0; i + 1 < keys.size(); i += 2) {
        const auto op = static_cast<unsigned char>(keys[i]);
        const auto arg = static_cast<unsigned char>(keys[i + 1]);
        try {
            switch (op % 4) {
                case 0: m.TypeChar(arg); break;
                case 1: m.SetSelStart(arg % 12); break;
                case 2: m.SetSelLength(arg % 12); break;
                default: m.DeleteForward(); break;
            }
        } catch (const kado::com::Error&) {
        }
        // With a mask, the text keeps the mask's length; the selection stays inside it.
        if (!mask.empty() && static_cast<size_t>(kado::com::CodePoints(m.Text())) != length) __builtin_trap();
        if (m.SelStart() < 0 || m.SelLength() < 0 ||
            static_cast<size_t>(m.SelStart() + m.SelLength()) > static_cast<size_t>(kado::com::CodePoints(m.Text())))
            __builtin_trap();
    }
    return 0;
}
