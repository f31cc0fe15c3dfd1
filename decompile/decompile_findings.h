// Findings of a decompile: what in the compiled files no description can give, and where.
//
// A finding names its place (a cell with its index and metres, an entry of the station table, a
// metre of the plan, or a file) and says what could not be recovered there. The recovery writes
// the closest description it can beside them.
#ifndef SCENARIO_DECOMPILE_DECOMPILE_FINDINGS_H_
#define SCENARIO_DECOMPILE_DECOMPILE_FINDINGS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace scenario {

struct Finding {
  std::string place;  // "cell 57 (2800 m)", "entry 3", "metre 1234", or a file's name
  std::string words;  // what no description can give there
};

// The findings of one decompile. Keeps the first kMaxKept and counts all of them, so that a file
// full of garbage cannot flood the report.
class Findings {
 public:
  static constexpr size_t kMaxKept = 100;

  void add(std::string place, std::string words);
  const std::vector<Finding>& kept() const { return kept_; }
  size_t count() const { return count_; }
  bool empty() const { return count_ == 0; }

 private:
  std::vector<Finding> kept_;
  size_t count_ = 0;
};

// Places, as findings name them.
std::string cell_place(int64_t cell);    // "cell 57 (2800 m)": the cell and where its feature stands
std::string stretch_place(int64_t cell);  // "cell 57 (from 2850 m)": where its stretch values hold from
std::string entry_place(int64_t entry);  // "entry 3"
std::string metre_place(int64_t metre);  // "metre 1234"

}  // namespace scenario

#endif  // SCENARIO_DECOMPILE_DECOMPILE_FINDINGS_H_
