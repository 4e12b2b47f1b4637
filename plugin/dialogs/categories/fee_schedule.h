// The fee schedule the five dialogs bill by: every item's number and unit fee,
// every factor and the building-cost bands. Captions, unit texts and table cells derive from it.
#pragma once

#include <array>

#include "plugin/dialogs/framework/fee_items.h"

namespace honora::schedule {

// Items several dialogs count.
inline constexpr ScheduleItem kOriginalParcels{"30.21.1", 150};
inline constexpr ScheduleItem kFormedParcels{"30.21.2", 220};
inline constexpr ScheduleItem kBoundaryPoints{"30.21.3", 40};
inline constexpr ScheduleItem kMarking{"30.22.2", 40};

// Zerlegung: formed parcels, the reductions for small ones and the increase for large ones.
inline constexpr ScheduleItem kSplitFormed{"30.21.2.1", 220};
inline constexpr ScheduleItem kTwoSmall{"30.21.2.2", -330};
inline constexpr ScheduleItem kFirstSmall{"30.21.2.3", -220};
inline constexpr ScheduleItem kFurtherSmall{"30.21.2.3", -110};
inline constexpr ScheduleItem kLargeIncrease{"30.21.2.4", 220};
inline constexpr double kSplinterFactor = 0.7;  // 30.1.2, on the subtotal before the marked points

// Baulandumlegung: Faktor A by area type (30.2.1) and the 30.2.4 reduction.
inline constexpr double kAreaFactorResidential = 1.6;   // "W, M, SO"
inline constexpr double kAreaFactorCommercial = 3.0;  // "G, sonstige Sondergebiete"
inline constexpr double kReductionShare = 0.2;

// Grenzfeststellung: points determined and marked, and the base amount.
inline constexpr ScheduleItem kBoundaryDetermination{"30.22.1", 40};
inline constexpr double kBaseAmount = 150;

// Gebäudeaufnahme: base fee by the band of the building costs for up to five
// buildings, a share of it per further started group of five.
struct Band {
    double upTo;  // building costs up to and including
    double baseFee;
    const char* text;
};
inline constexpr std::array<Band, 6> kBands = {{
    {25'000, 100, "bis 25 T€"},
    {100'000, 200, "zwischen 25 T€ und 100 T€"},
    {400'000, 300, "zwischen 100 T€ und 400 T€"},
    {800'000, 500, "zwischen 400 T€ und 800 T€"},
    {2'000'000, 800, "zwischen 800 T€ und 2 M€"},
    {5'000'000, 1200, "zwischen 2 M€ und 5 M€"},
}};
inline constexpr int kMillionBandWidth = 5'000'000;  // above the table: bands of 5 M€
inline constexpr double kMillionBandFee = 1200;    // per band up to the costs
inline constexpr double kFurtherGroupShare = 0.3;
inline constexpr int kBuildingsPerGroup = 5;

}  // namespace honora::schedule
