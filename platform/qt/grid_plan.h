// Where a form's controls stand on the one grid of its window. Frames hold no
// grid of their own: a frame's rows divide the row it stands in (that row grows
// to hold them), its columns are its container's columns from the frame's own
// column on. So a column, the amounts' above all, lines up through every frame.
#pragma once

#include <vector>

#include "platform/forms/forms.h"

namespace kado::qtview {

struct GridPlan {
    std::vector<forms::GridPlace> places;  // per control on the window's grid; a frame's covers its controls
    std::vector<int> container;            // index of the frame a control stands in, -1 for the window
    int rows = 0;
    int columns = 0;
};

// For the controls in declaration order. A control whose frame is missing, or
// whose frames run in a circle, stands in the window itself.
GridPlan PlanGrid(const std::vector<const forms::Control*>& controls);

// Indexes by row, then column, then declaration: top to bottom, left to right.
std::vector<int> ReadingOrder(const GridPlan& plan);

}  // namespace kado::qtview
