#include "compiler/did_you_mean.h"

#include <algorithm>
#include <vector>

#include "format/cp1252.h"

namespace scenario {

size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
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
