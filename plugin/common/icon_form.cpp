#include "plugin/common/icon_form.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>

namespace honora {
namespace {

using kado::forms::Picture;

constexpr std::uint32_t kClear = 0x00000000;

Picture Blank(int size) {
    Picture p;
    p.width = size;
    p.height = size;
    p.argb.assign(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), kClear);
    return p;
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double qx = ax + t * dx - px, qy = ay + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

struct Stroke {
    double ax, ay, bx, by;
};

// Strokes of the given half width, sampled at pixel centres; hard edges keep
// the pictures crisp at their small size.
void Draw(Picture& p, std::initializer_list<Stroke> strokes, double halfWidth, std::uint32_t colour) {
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            for (const Stroke& s : strokes) {
                if (SegmentDistance(x + 0.5, y + 0.5, s.ax, s.ay, s.bx, s.by) <= halfWidth) {
                    p.argb[static_cast<std::size_t>(y * p.width + x)] = colour;
                    break;
                }
            }
        }
    }
}

void FillRect(Picture& p, int x0, int y0, int x1, int y1, std::uint32_t colour) {
    for (int y = std::max(0, y0); y < std::min(p.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(p.width, x1); ++x)
            p.argb[static_cast<std::size_t>(y * p.width + x)] = colour;
}

}  // namespace

Picture OkPicture() {
    Picture p = Blank(16);
    Draw(p, {{2.5, 8.5, 6.0, 12.0}, {6.0, 12.0, 13.5, 3.5}}, 1.3, 0xFF1E9E32);
    return p;
}

Picture AbbruchPicture() {
    Picture p = Blank(16);
    Draw(p, {{3.5, 3.5, 12.5, 12.5}, {12.5, 3.5, 3.5, 12.5}}, 1.3, 0xFFD02020);
    return p;
}

// A sheet with a parcel outline and a red boundary point: fees for surveys.
Picture ComponentIcon() {
    Picture p = Blank(32);
    FillRect(p, 5, 2, 27, 30, 0xFF606060);
    FillRect(p, 6, 3, 26, 29, 0xFFFFFFFF);
    Draw(p, {{9, 22, 12, 9}, {12, 9, 23, 12}, {23, 12, 21, 25}, {21, 25, 9, 22}}, 0.7, 0xFF2050C0);
    Draw(p, {{12, 9, 12, 9}}, 2.2, 0xFFD02020);
    return p;
}

void frmIcons_Design(kado::forms::Form& form) {
    auto& list = form.Add<kado::forms::ImageList>("ImageListButton", {});
    list.Add("OK", OkPicture());
    list.Add("Abbruch", AbbruchPicture());
    form.OnKeyUp([](int& keyCode) { keyCode = 0; });
}

}  // namespace honora
