// The fee schedule the five dialogs bill by: every item's number and unit fee,
// every factor and the building-cost bands. Captions, unit texts and table cells derive from it.
#pragma once

#include <array>

#include "plugin/dialogs/framework/fee_items.h"

namespace honora::schedule {

// Items several dialogs count.
inline constexpr ScheduleItem kAusgangsflurstücke{"30.21.1", 150};
inline constexpr ScheduleItem kGebildeteFlurstücke{"30.21.2", 220};
inline constexpr ScheduleItem kGrenzpunkte{"30.21.3", 40};
inline constexpr ScheduleItem kAbmarkung{"30.22.2", 40};

// Zerlegung: formed parcels, the reductions for small ones and the increase for large ones.
inline constexpr ScheduleItem kZerlegungGebildete{"30.21.2.1", 220};
inline constexpr ScheduleItem kZweiKleine{"30.21.2.2", -330};
inline constexpr ScheduleItem kErstesKleines{"30.21.2.3", -220};
inline constexpr ScheduleItem kWeiteresKleines{"30.21.2.3", -110};
inline constexpr ScheduleItem kErhöhung{"30.21.2.4", 220};
inline constexpr double kSplitterFaktor = 0.7;  // 30.1.2, on the subtotal before the marked points

// Baulandumlegung: Faktor A by area type (30.2.1) and the 30.2.4 reduction.
inline constexpr double kFaktorAWohnen = 1.6;   // "W, M, SO"
inline constexpr double kFaktorAGewerbe = 3.0;  // "G, sonstige Sondergebiete"
inline constexpr double kErmäßigung = 0.2;

// Grenzfeststellung: points determined and marked, and the base amount.
inline constexpr ScheduleItem kGrenzfeststellung{"30.22.1", 40};
inline constexpr double kSockelbetrag = 150;

// Gebäudeaufnahme: base fee by the band of the building costs for up to five
// buildings, a share of it per further started group of five.
struct Band {
    double upTo;  // building costs up to and including
    double baseFee;
    const char* text;
};
inline constexpr std::array<Band, 6> kBänder = {{
    {25'000, 100, "bis 25 T€"},
    {100'000, 200, "zwischen 25 T€ und 100 T€"},
    {400'000, 300, "zwischen 100 T€ und 400 T€"},
    {800'000, 500, "zwischen 400 T€ und 800 T€"},
    {2'000'000, 800, "zwischen 800 T€ und 2 M€"},
    {5'000'000, 1200, "zwischen 2 M€ und 5 M€"},
}};
inline constexpr int kMillionenBandBreite = 5'000'000;  // above the table: bands of 5 M€
inline constexpr double kMillionenBandGebühr = 1200;    // per band up to the costs
inline constexpr double kWeitereGruppeAnteil = 0.3;
inline constexpr int kGebäudeJeGruppe = 5;

}  // namespace honora::schedule
