// The hidden form frmIcons whose image list holds the confirm and cancel
// pictures of every dialog, and the component's window icon.
#pragma once

#include <string_view>

#include "platform/forms/forms.h"

namespace honora {

inline constexpr std::string_view kIconFormName = "frmIcons";

// Design of frmIcons: the image list "ImageListButton" with the keys "OK" and
// "Abbruch"; its key-up handler swallows every key.
void frmIcons_Design(kado::forms::Form& form);

// The drawn pictures behind the keys (16x16) and the window icon, resource 9 (32x32).
kado::forms::Picture OkPicture();
kado::forms::Picture AbbruchPicture();
kado::forms::Picture ComponentIcon();

// The picture under the key in the session's one frmIcons, which is created on
// the first reference; a missing key fails with 35601. The instance lives in the
// SessionContext, so this is defined in plugin/component (session_context.cpp).
kado::forms::Picture ButtonPicture(std::string_view key);

}  // namespace honora
