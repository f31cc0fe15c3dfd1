#include "scenario/text_writers.h"

#include "scenario/documents.h"
#include "scenario/line_data.h"
#include "scenario/line_table.h"
#include "scenario/train_data.h"

namespace scenario {

Status dati_linea(OutputSink& sink, const ScenarioFileNames& names) {
  return scrivi_righe(sink, names.line_description, line_data_table());
}

Status dati_treno(OutputSink& sink, const ScenarioFileNames& names) {
  return scrivi_righe(sink, names.train_description, train_data_table());
}

Status dati_note(OutputSink& sink, const ScenarioFileNames& names) {
  return scrivi_righe(sink, names.notes, notes_table());
}

Status dati_rallentamenti(OutputSink& sink, const ScenarioFileNames& names) {
  return scrivi_righe(sink, names.slowdown_order, slowdown_order_table());
}

Status dati_scheda(OutputSink& sink, const ScenarioFileNames& names) {
  return scrivi_righe(sink, names.timetable_card, timetable_card_table());
}

}  // namespace scenario
