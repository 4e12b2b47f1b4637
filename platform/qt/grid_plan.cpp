#include "platform/qt/grid_plan.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <string>

namespace kado::qtview {
namespace {

int FirstRow(const forms::GridPlace& p) { return std::max(0, p.row); }
int RowSpan(const forms::GridPlace& p) { return std::max(1, p.rowSpan); }

class Planner {
public:
    explicit Planner(const std::vector<const forms::Control*>& controls) : controls_(controls) {
        plan_.places.resize(controls.size());
        plan_.container.assign(controls.size(), -1);
        children_.resize(controls.size() + 1);
    }

    GridPlan Run() {
        FindContainers();
        for (int i = 0; i < Count(); ++i) children_[Slot(plan_.container[i])].push_back(i);
        heights_.resize(children_.size());
        Measure(-1);
        Place(-1, 0, 0);
        for (const forms::GridPlace& p : plan_.places) {
            plan_.rows = std::max(plan_.rows, p.row + p.rowSpan);
            plan_.columns = std::max(plan_.columns, p.column + p.columnSpan);
        }
        return std::move(plan_);
    }

private:
    int Count() const { return static_cast<int>(controls_.size()); }
    static size_t Slot(int container) { return static_cast<size_t>(container + 1); }

    void FindContainers() {
        std::map<std::string, int> frames;
        for (int i = 0; i < Count(); ++i) {
            if (controls_[i]->Kind() == forms::ControlKind::Frame) frames.emplace(controls_[i]->Key(), i);
        }
        for (int i = 0; i < Count(); ++i) {
            const std::string& key = controls_[i]->Container();
            auto it = key.empty() ? frames.end() : frames.find(key);
            if (it != frames.end() && it->second != i) plan_.container[i] = it->second;
        }
        // Cutting a chain only ever shortens the others, so one pass leaves no circle.
        for (int i = 0; i < Count(); ++i) {
            std::set<int> seen{i};
            for (int c = plan_.container[i]; c >= 0; c = plan_.container[c]) {
                if (!seen.insert(c).second) {
                    plan_.container[i] = -1;
                    break;
                }
            }
        }
    }

    // Cells each row of the container takes; returns their sum.
    int Measure(int container) {
        const auto& kids = children_[Slot(container)];
        int rows = 0;
        for (int k : kids) rows = std::max(rows, FirstRow(controls_[k]->Place()) + RowSpan(controls_[k]->Place()));
        std::vector<int> heights(static_cast<size_t>(rows), 1);
        for (int k : kids) {
            if (controls_[k]->Kind() != forms::ControlKind::Frame) continue;
            const int need = Measure(k);
            const auto first = heights.begin() + FirstRow(controls_[k]->Place());
            const auto end = first + RowSpan(controls_[k]->Place());
            const int have = std::accumulate(first, end, 0);
            // The frame's last row grows: rows above it keep their place beside other controls.
            if (need > have) *(end - 1) += need - have;
        }
        heights_[Slot(container)] = heights;
        return std::accumulate(heights.begin(), heights.end(), 0);
    }

    void Place(int container, int row, int column) {
        const auto& heights = heights_[Slot(container)];
        std::vector<int> starts{row};
        for (int h : heights) starts.push_back(starts.back() + h);
        for (int k : children_[Slot(container)]) {
            const forms::GridPlace& p = controls_[k]->Place();
            forms::GridPlace& at = plan_.places[static_cast<size_t>(k)];
            at.row = starts[static_cast<size_t>(FirstRow(p))];
            at.rowSpan = starts[static_cast<size_t>(FirstRow(p) + RowSpan(p))] - at.row;
            at.column = column + std::max(0, p.column);
            at.columnSpan = std::max(1, p.columnSpan);
            if (controls_[k]->Kind() != forms::ControlKind::Frame) continue;
            Place(k, at.row, at.column);
            for (int inner : children_[Slot(k)]) {
                const forms::GridPlace& in = plan_.places[static_cast<size_t>(inner)];
                at.columnSpan = std::max(at.columnSpan, in.column + in.columnSpan - at.column);
            }
        }
    }

    const std::vector<const forms::Control*>& controls_;
    GridPlan plan_;
    std::vector<std::vector<int>> children_;  // by Slot(container)
    std::vector<std::vector<int>> heights_;   // by Slot(container)
};

}  // namespace

GridPlan PlanGrid(const std::vector<const forms::Control*>& controls) { return Planner(controls).Run(); }

std::vector<int> ReadingOrder(const GridPlan& plan) {
    std::vector<int> order(plan.places.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const forms::GridPlace& x = plan.places[static_cast<size_t>(a)];
        const forms::GridPlace& y = plan.places[static_cast<size_t>(b)];
        return x.row != y.row ? x.row < y.row : x.column < y.column;
    });
    return order;
}

}  // namespace kado::qtview
