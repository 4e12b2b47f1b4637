// Turns the model's ARGB32 pictures into Qt images and icons.
#pragma once

#include <QIcon>
#include <QImage>

#include "platform/forms/forms.h"

namespace kado::qtview {

// A null image when the picture is empty or holds fewer pixels than its size claims.
QImage ToImage(const forms::Picture& picture);
QIcon ToIcon(const forms::Picture& picture);

}  // namespace kado::qtview
