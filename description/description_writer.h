// The two recovered descriptions written as description files, in the writer's own layout.
//
// Sections in their usual order, every record kind with the runs of blanks (or the right-aligned
// widths) that the embedded descriptions use, every line ending in CR LF:
//
//   line description                          train description
//   [generale]                                [generale]
//   lunghezza percorso,    124000             numero vetture,    2
//   progressiva chilometrica uno,    0,    0,    0   (due, tre)   percentuale massa frenata,    95
//   sfondo uno,    1          (due, tre)      sabbia,    60
//   ripetizione segnali 4 codici,    0    ,0  orologio,    19              19            45
//   [curve]       curvas5,  800,  100         [aderenze]      aderenza,   0,    100
//   [pendenze]    pendenza,   0,    0 (first), pendenza,  2900,   -1
//                                             [vel_limite]    velocita,   0,    30 (first),
//   [montagne]    montagna,   23400,  23500,  12                 velocita,    1050,   140
//   [cartelli]    indicatori_vmax,  1050,  125,  135,  140,  0,  ,  ,  ,  0   (0 on the right: empty)
//   [indicazioni] cartello_indicatore,  1450,   (P.L.    )(Km 1+452)
//   [fine]                                    [stazioni]  [rallentamenti]  [segnali]
//                                             [abbattimenti] (only when there are cut-off points)
//                                             [codici]  [fine]
//
// Names and board texts are already code-page-1252 bytes (they come from the station table) and
// are copied as they are; everything else is ASCII. A description ends with "[fine]", the field
// the compile never interprets, so that no record stands on the last line.
#ifndef SCENARIO_DESCRIPTION_DESCRIPTION_WRITER_H_
#define SCENARIO_DESCRIPTION_DESCRIPTION_WRITER_H_

#include <string>

#include "description/description_records.h"

namespace scenario {

std::string write_line_description(const LineDescription& line);
std::string write_train_description(const TrainDescription& train);

}  // namespace scenario

#endif  // SCENARIO_DESCRIPTION_DESCRIPTION_WRITER_H_
