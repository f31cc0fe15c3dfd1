// The names a pair of description files carries: the line name from LINE_linea.txt, the train
// number (and the line name, failing the line's) from LINE_NUM-.txt; options win; the defaults
// otherwise, said so.
#include "format/file_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace scenario {
namespace {

TEST(FileNamesTest, NamesComeFromTheStandardFileNames) {
  const std::string x = "X";
  const std::string nine = "9";
  const struct {
    std::string line_path;
    std::string train_path;
    const std::string* given_line;
    const std::string* given_train;
    std::string line_name;
    std::string train_number;
    bool line_default;
    bool train_default;
  } cases[] = {
      {"dir/Valbruna_linea.txt", "dir/Valbruna_8842-.txt", nullptr, nullptr, "Valbruna", "8842", false, false},
      {"C:\\scenari\\Alto_linea.txt", "C:\\scenari\\Alto_Colle_77-.txt", nullptr, nullptr, "Alto", "77", false, false},
      {"line.txt", "MorvellaC_DrasconaX_5521-.txt", nullptr, nullptr, "MorvellaC_DrasconaX", "5521", false, false},
      {"Valbruna_linea.txt", "Valbruna_8842-.txt", &x, &nine, "X", "9", false, false},
      {"line.txt", "train.txt", nullptr, nullptr, kEmbeddedLineName, kEmbeddedTrainNumber, true, true},
      // A name must hold something before its suffix, and a train file its two parts.
      {"_linea.txt", "8842-.txt", nullptr, nullptr, kEmbeddedLineName, kEmbeddedTrainNumber, true, true},
      {"a/_linea.txt", "Valbruna_-.txt", nullptr, nullptr, kEmbeddedLineName, kEmbeddedTrainNumber, true, true},
      {"Valbruna_linea.TXT", "train.txt", nullptr, &nine, kEmbeddedLineName, "9", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line_path + " " + c.train_path);
    const ChosenNames chosen = names_for_descriptions(c.line_path, c.train_path, c.given_line, c.given_train);
    EXPECT_EQ(chosen.line_name, c.line_name);
    EXPECT_EQ(chosen.train_number, c.train_number);
    EXPECT_EQ(chosen.line_name_default, c.line_default);
    EXPECT_EQ(chosen.train_number_default, c.train_default);
  }
}

}  // namespace
}  // namespace scenario
