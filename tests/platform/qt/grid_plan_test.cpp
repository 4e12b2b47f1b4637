// The one grid of a window: a frame's rows widen the row it stands in, its
// columns are the window's, and Tab order reads the grid top to bottom.
#include "platform/qt/grid_plan.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace kado::forms;

TEST(GridPlan, FrameRowsWidenTheirRowAndFramesInACircleStandInTheWindow) {
    auto form = Form::Create(std::make_shared<HeadlessDesktop>(), "frmPlan", [](Form& f) {
        f.Add<Label>("lblOben", {0, 0});
        f.Add<Frame>("fraFaktor", {1, 1, 1, 2});
        f.Add<Label>("lblNeben", {1, 0});  // beside the frame: spans its rows
        f.Add<Label>("lblEins", {0, 0}, -1, "fraFaktor");
        f.Add<MaskEdBox>("mskZwei", {1, 3}, -1, "fraFaktor");  // past the frame's span: the frame widens
        f.Add<ComboBox>("cmbDrei", {2, 0, 1, 2}, -1, "fraFaktor");
        f.Add<Label>("lblUnten", {2, 4});
        f.Add<Frame>("fraA", {3, 0}, -1, "fraB");
        f.Add<Frame>("fraB", {0, 0}, -1, "fraA");
        f.Add<Label>("lblWaise", {3, 3}, -1, "fraNirgends");
    });
    form->Load();
    const std::vector<Control*> all = form->Controls();
    const std::vector<const Control*> controls(all.begin(), all.end());
    const auto plan = kado::qtview::PlanGrid(controls);
    using At = std::tuple<std::string, int, int, int, int>;  // key, row, column, row span, column span
    std::vector<At> got;
    for (int i : kado::qtview::ReadingOrder(plan)) {
        const GridPlace& p = plan.places[static_cast<size_t>(i)];
        got.emplace_back(controls[static_cast<size_t>(i)]->Key(), p.row, p.column, p.rowSpan, p.columnSpan);
    }
    EXPECT_EQ(got, (std::vector<At>{{"lblOben", 0, 0, 1, 1},   {"lblNeben", 1, 0, 3, 1}, {"fraFaktor", 1, 1, 3, 4},
                                    {"lblEins", 1, 1, 1, 1},   {"mskZwei", 2, 4, 1, 1},  {"cmbDrei", 3, 1, 1, 2},
                                    {"lblUnten", 4, 4, 1, 1},  {"fraA", 5, 0, 1, 1},     {"fraB", 5, 0, 1, 1},
                                    {"lblWaise", 5, 3, 1, 1}}));
    // The circle is cut once: fraA stands in the window, fraB in it.
    EXPECT_EQ(plan.container[7], -1);
    EXPECT_EQ(plan.container[8], 7);
}

}  // namespace
