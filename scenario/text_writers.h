// The five text writers of a build.
//
// Each writes one fixed table through scrivi_righe under its scenario file name: the line
// description (dati_linea) and the train description (dati_treno), which the compile reads back
// and removes, and the three documents for the driver: notes (dati_note), slowdown order
// (dati_rallentamenti) and timetable card (dati_scheda).
#ifndef SCENARIO_SCENARIO_TEXT_WRITERS_H_
#define SCENARIO_SCENARIO_TEXT_WRITERS_H_

#include "format/file_names.h"
#include "format/output_sink.h"
#include "model/status.h"

namespace scenario {

Status dati_linea(OutputSink& sink, const ScenarioFileNames& names);
Status dati_treno(OutputSink& sink, const ScenarioFileNames& names);
Status dati_note(OutputSink& sink, const ScenarioFileNames& names);
Status dati_rallentamenti(OutputSink& sink, const ScenarioFileNames& names);
Status dati_scheda(OutputSink& sink, const ScenarioFileNames& names);

}  // namespace scenario

#endif  // SCENARIO_SCENARIO_TEXT_WRITERS_H_
