// The one grid of a window: a frame's rows widen the row it stands in, its
// columns are the window's, and Tab order reads the grid top to bottom.
#include "platform/qt/grid_plan.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace kado::forms;
using kado::qtview::GridPlan;

struct Planned {
    std::shared_ptr<Form> form;
    std::vector<const Control*> controls;
    GridPlan plan;
    // row, column, row span, column span of the control with the key
    std::tuple<int, int, int, int> At(const std::string& key) const {
        for (size_t i = 0; i < controls.size(); ++i) {
            if (controls[i]->Key() != key) continue;
            const GridPlace& p = plan.places[i];
            return {p.row, p.column, p.rowSpan, p.columnSpan};
        }
        ADD_FAILURE() << "no " << key;
        return {};
    }
};

Planned Plan(Form::Design design) {
    Planned p;
    p.form = Form::Create(std::make_shared<HeadlessDesktop>(), "frmPlan", std::move(design));
    p.form->Load();
    for (const Control* c : p.form->Controls()) p.controls.push_back(c);
    p.plan = kado::qtview::PlanGrid(p.controls);
    return p;
}

TEST(GridPlan, FrameRowsWidenTheirRowAndItsColumnsAreTheWindows) {
    const Planned p = Plan([](Form& f) {
        f.Add<Label>("lblOben", {0, 0});
        f.Add<Frame>("fraFaktor", {1, 1, 1, 2});
        f.Add<Label>("lblNeben", {1, 0});  // beside the frame: spans its rows
        f.Add<Label>("lblEins", {0, 0}, -1, "fraFaktor");
        f.Add<MaskEdBox>("mskZwei", {1, 3}, -1, "fraFaktor");  // past the frame's span: the frame widens
        f.Add<ComboBox>("cmbDrei", {2, 0, 1, 2}, -1, "fraFaktor");
        f.Add<Label>("lblUnten", {2, 4});
    });
    const std::map<std::string, std::tuple<int, int, int, int>> want = {
        {"lblOben", {0, 0, 1, 1}},  {"fraFaktor", {1, 1, 3, 4}}, {"lblNeben", {1, 0, 3, 1}},
        {"lblEins", {1, 1, 1, 1}},  {"mskZwei", {2, 4, 1, 1}},   {"cmbDrei", {3, 1, 1, 2}},
        {"lblUnten", {4, 4, 1, 1}},
    };
    for (const auto& [key, at] : want) EXPECT_EQ(p.At(key), at) << key;
    EXPECT_EQ(p.plan.rows, 5);
    EXPECT_EQ(p.plan.columns, 5);

    std::vector<std::string> order;
    for (int i : kado::qtview::ReadingOrder(p.plan)) order.push_back(p.controls[static_cast<size_t>(i)]->Key());
    EXPECT_EQ(order, (std::vector<std::string>{"lblOben", "lblNeben", "fraFaktor", "lblEins", "mskZwei", "cmbDrei",
                                               "lblUnten"}));
}

TEST(GridPlan, ControlsOfAMissingFrameOrOfFramesInACircleStandInTheWindow) {
    const Planned p = Plan([](Form& f) {
        f.Add<Frame>("fraA", {0, 0}, -1, "fraB");
        f.Add<Frame>("fraB", {0, 0}, -1, "fraA");
        f.Add<Label>("lblWaise", {2, 3}, -1, "fraNirgends");
        f.Add<Label>("lblSelbst", {3, 1}, -1, "lblSelbst");
    });
    EXPECT_EQ(p.At("lblWaise"), std::make_tuple(2, 3, 1, 1));
    EXPECT_EQ(p.At("lblSelbst"), std::make_tuple(3, 1, 1, 1));
    // The circle is cut once: one frame stands in the window, the other in it.
    const int a = p.plan.container[0];
    const int b = p.plan.container[1];
    EXPECT_TRUE((a == -1 && b == 0) || (a == 1 && b == -1)) << a << " " << b;
}

}  // namespace
