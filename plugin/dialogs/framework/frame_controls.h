// The controls every category dialog has and the frame works with: version
// label, OK and cancel buttons, and the share field with its captions.
#pragma once

#include <string>

#include "platform/forms/forms.h"

namespace honora {

// Names of the controls the frame itself works with.
namespace ctl {
inline constexpr char kBezug[] = "mskBezug";
inline constexpr char kVersion[] = "lblVersion";
inline constexpr char kEnde[] = "CommandEnde";
inline constexpr char kAbbruch[] = "CommandAbbruch";
// The value factor and the classification factor (the frame's factor rules).
inline constexpr char kBoden[] = "mskBoden";
inline constexpr char kFaktor[] = "lblFaktor";
inline constexpr char kKlassifizierung[] = "cmbKlassifizierung";
inline constexpr char kStrasse[] = "lblStrasse";
}  // namespace ctl

// Where the category puts them (grid places within its layout).
struct FramePlaces {
    kado::forms::GridPlace shareCaption;  // "Kostenanteil"
    kado::forms::GridPlace share;         // mskBezug
    kado::forms::GridPlace shareUnit;     // "/ 1000"
    kado::forms::GridPlace version;       // lblVersion
    kado::forms::GridPlace ok;            // CommandEnde
    kado::forms::GridPlace cancel;        // CommandAbbruch
    std::string container;                // frame key holding the share row, or ""
};

void AddFrameControls(kado::forms::Form& form, const FramePlaces& places);

}  // namespace honora
