#include "compiler/did_you_mean.h"

#include <algorithm>
#include <vector>

#include "format/cp1252.h"

namespace scenario {

size_t edit_distance(std::string_view a, std::string_view b) {
  // Three rows of the table: the one before the previous is what a swap of two letters reaches.
  std::vector<size_t> before(b.size() + 1, 0);
  std::vector<size_t> previous(b.size() + 1);
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      row[j] = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) row[j] = std::min(row[j], before[j - 2] + 1);
    }
    std::swap(before, previous);
    std::swap(previous, row);
  }
  return previous[b.size()];
}

std::string keyword_letters(std::string_view field) {
  std::string letters = cp1252_lower(field);
  std::erase_if(letters, [](char c) { return c >= '0' && c <= '9'; });
  return letters;
}

std::optional<std::string_view> closest_keyword(std::string_view field, std::span<const std::string_view> keywords) {
  // Longer fields are not keywords anyone meant; comparing them would only cost time.
  constexpr size_t kLongestCompared = 64;
  if (field.empty() || field.size() > kLongestCompared) return std::nullopt;
  const std::string lower = keyword_letters(field);
  std::optional<std::string_view> best;
  size_t best_distance = 0;
  for (const std::string_view keyword : keywords) {
    const size_t distance = edit_distance(lower, keyword_letters(keyword));
    if (distance > std::max<size_t>(1, keyword.size() / 4)) continue;
    if (!best || distance < best_distance) {
      best = keyword;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace scenario
