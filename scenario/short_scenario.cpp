#include "scenario/short_scenario.h"

namespace scenario {
namespace {

// The line description: 12,000 m, three curves, five gradients, one mountain stretch with its
// tunnel board, a speed indicator board and a level crossing's board.
constexpr std::string_view kLineRows[] = {
    "[generale]",
    "lunghezza percorso,    12000",
    "progressiva chilometrica uno,    0,    0,    0",
    "sfondo uno,    1",
    "ripetizione segnali 4 codici,    0    ,0",
    "[curve]",
    "curvad4,  2000,  300",
    "curvas3,  5800,  600",
    "curvad5,  8600,  250",
    "[pendenze]",
    "pendenza,     0,    0",
    "pendenza,  1500,    8",
    "pendenza,  4000,   12",
    "pendenza,  6200,   -5",
    "pendenza,  9000,    0",
    "[montagne]",
    "montagna,   6000,  7400,  12",
    "[cartelli]",
    "indicatori_vmax,  2400,  100,  100,  100,  0,  ,  ,  ,  0",
    "[indicazioni]",
    "cartello_indicatore,  3500,   (P.L.    )(Km 3+500)",
    "cartello_indicatore,  5950,   (Roccabella)(Km 6+000)(L.m 1.400)",
    "[fine]",
    kEndMarker,
};

// The train description: three stations, three speed limits, a cut-off point, one slowdown and four
// signals.
constexpr std::string_view kTrainRows[] = {
    "[generale]",
    "numero vetture,    2",
    "percentuale massa frenata,    95",
    "sabbia,    60",
    "orologio,    7    59    0",
    "[aderenze]",
    "aderenza,   0,    100",
    "[vel_limite]",
    "velocita,      0,    60",
    "velocita,   1000,   100",
    "velocita,  10500,    60",
    "[stazioni]",
    "stazione,       0,  7,  400,  1, 0, 0,  4,1,0,  2,1,1,    1,   8, 0, 0, VALBRUNA",
    "stazione,    5000, 11,  300,  0, 0, 0,  1,1,0,  4,1,1,   30,   8, 6, 0, CASTAGNETO",
    "stazione,   11500, 12,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,   8,13, 0, PIANELLO",
    "[rallentamenti]",
    "rallentamento,   8000,    50,  300, 1,  0,  0",
    "[segnali]",
    "segnale,    1200,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
    "segnale,    4300,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,    9500,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   10800,   2, 3, 1,  0, 0,    2,  2,1,0, 0",
    "[abbattimenti]",
    "abbattimento,    7600,     0",
    "[fine]",
    kEndMarker,
};

}  // namespace

LineTable short_line_table() { return kLineRows; }
LineTable short_train_table() { return kTrainRows; }

}  // namespace scenario
