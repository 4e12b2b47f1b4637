#include "plugin/dialogs/framework/share.h"

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"

namespace honora {

bool ShareIsWholeJob(std::string_view share) { return kado::com::PlainRead(share) == 1000; }

std::string ShareText(std::string_view share) { return kado::com::NumberToText(CVal(share)); }

std::string ShareAmount(std::string_view feeLabel, double factor, std::string_view share) {
    bool withoutThousands = true;
    return WertFormatieren(kado::com::NumberToText(CVal(feeLabel) * factor * CVal(share) / 1000), 8, 2,
                           withoutThousands);
}

}  // namespace honora
