// The scenario header: what entries 81 to 86 of the station table hold, by name.
//
//   entry  area_start         area_end             position               other fields
//   81     progression "tre": first value, second value, flag
//   82     progression "due": the same
//   83     progression "uno": the same
//   84     braked mass %      line length (m)      number of cars
//   85     background one     background three      background two         name: line name,
//                                                                         group1_a: the constant 610,
//                                                                         time_seconds: check code
//   86     repetition from    repetition to        repetition codes       name: train number,
//                                                                         group1_a: sand, group2_a,
//                                                                         group2_b, group2_c: clock
//
// The progressions are read into 81 to 83 as "tre", "due" and "uno"; once ordered the largest first
// value stands in 81. A progression's first and second values are positions in metres; a flag of 1
// has moved its second value on by 100 m. The check code is the second one (the first is in cell 1
// of the track cells). A HeaderView over a const record reads; over a record it also writes, each
// accessor giving the field itself.
#ifndef SCENARIO_MODEL_HEADER_VIEW_H_
#define SCENARIO_MODEL_HEADER_VIEW_H_

#include <cstddef>
#include <cstdint>

#include "model/track_model.h"

namespace scenario {

// The three progressions in the order of their entries, 81 to 83.
enum class ProgressionSlot { kTre = 0, kDue = 1, kUno = 2 };
inline constexpr ProgressionSlot kProgressionSlots[] = {ProgressionSlot::kTre, ProgressionSlot::kDue,
                                                        ProgressionSlot::kUno};
constexpr int progression_entry(ProgressionSlot slot) { return kEntryProgressionTre + static_cast<int>(slot); }

// A kilometric progression as a value: first (metres, the order key), second (metres), flag.
struct Progression {
  int32_t first = 0;
  int32_t second = 0;
  int32_t flag = 0;

  bool operator==(const Progression&) const = default;
};

// The progression an entry holds, and storing one into an entry.
Progression progression_of(const StationEntry& entry);
void store_progression(StationEntry& entry, const Progression& progression);

// The value the header constant of entry 85 takes once the header is complete.
inline constexpr int16_t kHeaderEntryMarker = 610;

// Named access to the header of `Record`, a ScenarioRecord or a const one.
template <typename Record>
class HeaderView {
 public:
  explicit HeaderView(Record& record) : record_(record) {}

  // Entries 81 to 83, one field each: first, second and flag of a progression.
  auto& progression_first(ProgressionSlot slot) const { return entry(progression_entry(slot)).area_start; }
  auto& progression_second(ProgressionSlot slot) const { return entry(progression_entry(slot)).area_end; }
  auto& progression_flag(ProgressionSlot slot) const { return entry(progression_entry(slot)).position; }
  Progression progression(ProgressionSlot slot) const { return progression_of(entry(progression_entry(slot))); }
  void set_progression(ProgressionSlot slot, const Progression& value) const {
    store_progression(entry(progression_entry(slot)), value);
  }

  // Entry 84: the train and the line's length.
  auto& braked_mass_percentage() const { return entry(kEntryTrain).area_start; }
  auto& line_length() const { return entry(kEntryTrain).area_end; }
  auto& number_of_cars() const { return entry(kEntryTrain).position; }

  // Entry 85: the line.
  auto& background_one() const { return entry(kEntryLine).area_start; }
  auto& background_two() const { return entry(kEntryLine).position; }
  auto& background_three() const { return entry(kEntryLine).area_end; }
  auto& line_name() const { return entry(kEntryLine).name; }
  auto& header_constant() const { return entry(kEntryLine).group1_a; }
  auto& check_code() const { return entry(kEntryLine).time_seconds; }

  // Entry 86: signal repetition, the train number, sand and the start clock.
  auto& repetition_from() const { return entry(kEntryRepetition).area_start; }
  auto& repetition_to() const { return entry(kEntryRepetition).area_end; }
  auto& repetition_codes() const { return entry(kEntryRepetition).position; }
  auto& train_number() const { return entry(kEntryRepetition).name; }
  auto& sand() const { return entry(kEntryRepetition).group1_a; }
  auto& clock_hours() const { return entry(kEntryRepetition).group2_a; }
  auto& clock_minutes() const { return entry(kEntryRepetition).group2_b; }
  auto& clock_seconds() const { return entry(kEntryRepetition).group2_c; }

 private:
  auto& entry(int index) const { return record_[static_cast<size_t>(index)]; }

  Record& record_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_HEADER_VIEW_H_
