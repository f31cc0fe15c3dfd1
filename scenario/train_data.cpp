#include "scenario/train_data.h"

namespace scenario {
namespace {

// One entry per line of the train description, in file order. Rows are fixed-width: every value
// is right-aligned in the width of its column, except the general records and the first speed
// limit, which keep their own spacing.
constexpr std::string_view kRows[] = {
    "[generale]",
    "numero vetture,    2",
    "percentuale massa frenata,    95",
    "sabbia,    60",
    "orologio,    19              19            45 ",
    "[aderenze]",
    "aderenza,   0,    100",
    "[vel_limite]",
    "velocita,   0,    30",
    "velocita,    1050,   140",
    "velocita,   14050,   135",
    "velocita,   22000,   125",
    "velocita,   33150,   100",
    "velocita,   36200,   130",
    "velocita,   43000,    60",
    "velocita,   44650,    30",
    "velocita,   45900,    95",
    "velocita,   58000,    80",
    "velocita,   71300,    90",
    "velocita,   85800,    85",
    "[stazioni]",
    "stazione,       0,  7,  800,  1, 0, 0,  4,1,0,  2,1,1,    1,  19,20, 0, MORVELLA C.LE",
    "stazione,    4200, 11,  400,  0, 0, 0,  1,1,0,  2,1,1,   30,  19,25, 0, SAN VITORE",
    "stazione,    8250, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, QUERVANO",
    "stazione,   12900, 11,  400,  0, 0, 0,  4,1,0,  4,1,1,   30,  19,32, 0, CASTELMORRO",
    "stazione,   18300, 25,  500,  0, 0, 0,  0,0,0,  0,0,0,   30,  19,39, 0, Sorvalda",
    "stazione,   22600, 22,  300,  0, 0, 0,  1,1,0,  5,4,0,    0,   0, 0, 0, VIGNALTA",
    "stazione,   27800, 21,  400,  0, 0, 0,  1,1,0,  2,1,1,   60,  19,46, 0, BRENZOLA",
    "stazione,   31900, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, Ronco Alto",
    "stazione,   38500, 12,  700,  0, 0, 0,  4,1,0,  2,1,1,   60,  19,54, 0, LORSANO",
    "stazione,   44300, 22, 1000,  0, 0, 0,  4,1,0,  5,4,0,   60,  20, 0, 0, CERVENA",
    "stazione,   49600, 11,  300,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, FONTANILE",
    "stazione,   54200, 25,  400,  0, 0, 0,  0,0,0,  0,0,0,   30,  20,11, 0, Pescolla",
    "stazione,   60100, 21,  500,  0, 0, 0,  1,1,0,  2,1,1,   60,  20,17, 0, MONTEFRASSO",
    "stazione,   65900, 11,  400,  0, 0, 0,  1,0,0,  4,1,0,    0,   0, 0, 0, SELVANERA",
    "stazione,   70400, 22,  600,  0, 0, 1,  4,1,0,  2,1,1,   60,  20,27, 0, GRANVILLA",
    "stazione,   76200, 25,  300,  0, 0, 0,  0,0,0,  0,0,0,   30,  20,33, 0, Colombara",
    "stazione,   81000, 21,  300,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, ROCCAFONTE",
    "stazione,   87300, 11,  500,  0, 0, 0,  1,1,0,  2,1,1,   30,  20,42, 0, FORNACI DI LEVA",
    "stazione,   94900, 21,  400,  0, 0, 1,  0,0,0,  4,1,1,   60,  20,50, 0, ROVESCA",
    "stazione,  100300, 22,  300,  0, 0, 0,  0,0,0,  2,0,0,    0,   0, 0, 0, BORGO TAVERNE",
    "stazione,  107200, 11,  400,  0, 0, 0,  1,1,0,  4,1,1,   30,  21, 1, 0, VALDORIA",
    "stazione,  116400, 12,  500,  0, 0, 0,  4,1,0,  2,1,1,   60,  21,10, 0, CAMPORSO",
    "stazione,  125750, 12,  500,  1, 0, 0,  1,1,0,  2,1,1,    0,  21,23, 0, DRASCONA SCALO",
    "[rallentamenti]",
    "rallentamento,   64750,    50,  200, 1,  0,  0",
    "rallentamento,   91650,    40,   50, 0,  0,  0",
    "rallentamento,  102000,    30,   50, 0,  1,  0",
    "[segnali]",
    "[codici]",
    "[fine]",
    kEndMarker,
};

}  // namespace

LineTable train_data_table() { return kRows; }

}  // namespace scenario
