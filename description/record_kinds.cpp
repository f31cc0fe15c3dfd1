#include "description/record_kinds.h"

#include <array>
#include <cctype>

namespace scenario {
namespace {

using enum FieldUnit;

constexpr const char* kGap4 = ",    ";  // the general records' four blanks
constexpr const char* kGap2 = ",  ";
constexpr const char* kComma = ",";

constexpr RecordField kLength[] = {{"lunghezza", "the line's length", kMetres, kGap4}};
constexpr RecordField kProgression[] = {{"primo", "first value of the kilometric progression", kNumber, kGap4},
                                        {"secondo", "second value of the kilometric progression", kNumber, kGap4},
                                        {"terzo", "third value of the kilometric progression", kNumber, kGap4}};
constexpr RecordField kBackground[] = {{"valore", "background value", kNumber, kGap4}};
constexpr RecordField kRepetition[] = {{"da", "signal repetition from (a multiple of 50)", kPosition, kGap4},
                                       {"a", "signal repetition to (a multiple of 50; 0: none)", kPosition, "    ,"}};
constexpr RecordField kCurve[] = {{"inizio", "start of the curve", kPosition, kGap2},
                                  {"lunghezza", "length of the curve", kMetres, kGap2}};
constexpr RecordField kFirstGradient[] = {{"posizione", "where the gradient starts", kPosition, ",   "},
                                          {"pendenza", "gradient, signed (-100 to 155)", kPerMille, ",    "}};
constexpr RecordField kGradient[] = {{"posizione", "where the gradient starts", kPosition, kGap2},
                                     {"pendenza", "gradient, signed (-100 to 155)", kPerMille, ",   "}};
constexpr RecordField kMountain[] = {{"inizio", "start of the stretch", kPosition, ",   "},
                                     {"fine", "end of the stretch", kPosition, kGap2},
                                     {"tipo", "stretch type (above 10: marked, type - 10)", kNumber, kGap2}};
constexpr RecordField kSpeedBoard[] = {
    {"posizione", "where the board stands", kPosition, kGap2},
    {"vas", "left-hand first speed", kKmh, kGap2},
    {"vbs", "left-hand second speed", kKmh, kGap2},
    {"vcs", "left-hand third speed", kKmh, kGap2},
    {"strisces", "left-hand stripes", kNumber, kGap2},
    {"vad", "right-hand first speed (empty: 0)", kKmh, kGap2, 0, true},
    {"vbd", "right-hand second speed (empty: 0)", kKmh, kGap2, 0, true},
    {"vcd", "right-hand third speed (empty: 0)", kKmh, kGap2, 0, true},
    {"strisced", "right-hand stripes", kNumber, kGap2}};
constexpr RecordField kLineSideBoard[] = {{"posizione", "where the board stands", kPosition, kGap2},
                                          {"testo", "the board's legend (no comma)", kText, ",   "}};

constexpr RecordField kCars[] = {{"vetture", "number of cars", kNumber, kGap4}};
constexpr RecordField kBrakedMass[] = {{"percentuale", "braked mass percentage", kPercent, kGap4}};
constexpr RecordField kSand[] = {{"sabbia", "sand", kNumber, kGap4}};
constexpr RecordField kClock[] = {{"ore", "clock at the start: hours", kHours, kGap4},
                                  {"minuti", "clock at the start: minutes", kMinutes, "              "},
                                  {"secondi", "clock at the start: seconds", kSeconds, "            "}};
constexpr RecordField kFirstAdhesion[] = {{"posizione", "where the adhesion starts", kPosition, kComma, 4},
                                          {"aderenza", "adhesion value", kNumber, kComma, 7}};
constexpr RecordField kAdhesion[] = {{"posizione", "where the adhesion starts", kPosition, kComma, 8},
                                     {"aderenza", "adhesion value", kNumber, kComma, 7}};
constexpr RecordField kFirstSpeedLimit[] = {{"posizione", "where the speed limit starts", kPosition, kComma, 4},
                                            {"v", "speed limit (a multiple of 5)", kKmh, kComma, 6}};
constexpr RecordField kSpeedLimit[] = {{"posizione", "where the speed limit starts", kPosition, kComma, 8},
                                       {"v", "speed limit (a multiple of 5)", kKmh, kComma, 6}};
constexpr RecordField kStation[] = {
    {"posizione", "the station's reference point (a multiple of 50)", kPosition, kComma, 8},
    {"tipo", "station type", kNumber, kComma, 3},
    {"lunghezza", "platform length (a multiple of 100)", kMetres, kComma, 5},
    {"opzione_a", "flag (1 at the origin and the terminus)", kNumber, kComma, 3},
    {"opzione_b", "flag kept for platforms of 600 m or more", kNumber, kComma, 2},
    {"opzione_c", "flag: the station's end 50 m further", kNumber, kComma, 2},
    {"gruppo1_a", "left side, first value", kNumber, kComma, 3},
    {"gruppo1_b", "left side, second value", kNumber, kComma, 1},
    {"gruppo1_c", "left side, third value", kNumber, kComma, 1},
    {"gruppo2_a", "right side, first value", kNumber, kComma, 3},
    {"gruppo2_b", "right side, second value", kNumber, kComma, 1},
    {"gruppo2_c", "right side, third value", kNumber, kComma, 1},
    {"sosta", "stop duration (0: passed without a stop)", kSeconds, kComma, 5},
    {"ore", "departure: hours", kHours, kComma, 4},
    {"minuti", "departure: minutes", kMinutes, kComma, 2},
    {"secondi", "departure: seconds", kSeconds, kComma, 2},
    {"nome", "the station's name (no comma)", kText, ", "}};
constexpr RecordField kSlowdown[] = {{"x", "start of the slowdown", kPosition, kComma, 8},
                                     {"v", "speed", kKmh, kComma, 6},
                                     {"l", "length", kMetres, kComma, 5},
                                     {"f_tt", "stored with the start and end markers", kNumber, kComma, 2},
                                     {"f_ta", "nonzero: four pre-warning cells", kNumber, kComma, 3},
                                     {"d_v", "stored with the markers when nonzero", kNumber, kComma, 3}};
constexpr RecordField kSignal[] = {{"posizione", "where the signal stands", kPosition, kComma, 8},
                                   {"sx", "left-hand side code", kNumber, kComma, 4},
                                   {"s1", "left-hand first aspect", kNumber, kComma, 2},
                                   {"s2", "left-hand second aspect", kNumber, kComma, 2},
                                   {"s3", "left-hand third aspect", kNumber, kComma, 3},
                                   {"rapp", "repetition value", kNumber, kComma, 2},
                                   {"dx", "right-hand side code (0 to 2)", kNumber, kComma, 5},
                                   {"d1", "right-hand first aspect (0 to 9)", kNumber, kComma, 3},
                                   {"d2", "right-hand second aspect (0 to 9)", kNumber, kComma, 1},
                                   {"d3", "right-hand third aspect (0 to 9)", kNumber, kComma, 1},
                                   {"tempo", "time value", kNumber, kComma, 2}};
constexpr RecordField kCutOff[] = {{"posizione", "where the cut-off point stands", kPosition, kComma, 8},
                                   {"valore", "cut-off value", kNumber, kComma, 6}};

using enum DescriptionKind;

const RecordKind kKinds[] = {
    {"lunghezza percorso", "line length", kLine, kLength},
    {"progressiva chilometrica uno", "first kilometric progression", kLine, kProgression},
    {"progressiva chilometrica due", "second kilometric progression", kLine, kProgression},
    {"progressiva chilometrica tre", "third kilometric progression", kLine, kProgression},
    {"sfondo uno", "background value one", kLine, kBackground},
    {"sfondo due", "background value two", kLine, kBackground},
    {"sfondo tre", "background value three", kLine, kBackground},
    {"ripetizione segnali 4 codici", "signal repetition", kLine, kRepetition},
    {"curva", "curve", kLine, kCurve},
    {"pendenza", "gradient", kLine, kFirstGradient, "", true},
    {"pendenza", "gradient", kLine, kGradient},
    {"montagna", "mountain stretch", kLine, kMountain},
    {"indicatori_vmax", "speed indicator board", kLine, kSpeedBoard},
    {"cartello_indicatore", "line-side board", kLine, kLineSideBoard},
    {"numero vetture", "number of cars", kTrain, kCars},
    {"percentuale massa frenata", "braked mass percentage", kTrain, kBrakedMass},
    {"sabbia", "sand", kTrain, kSand},
    {"orologio", "start clock", kTrain, kClock, " "},
    {"aderenza", "adhesion", kTrain, kFirstAdhesion, "", true},
    {"aderenza", "adhesion", kTrain, kAdhesion},
    {"velocita", "speed limit", kTrain, kFirstSpeedLimit, "", true},
    {"velocita", "speed limit", kTrain, kSpeedLimit},
    {"stazione", "station", kTrain, kStation},
    {"rallentamento", "slowdown", kTrain, kSlowdown},
    {"segnale", "signal", kTrain, kSignal},
    {"abbattimento", "cut-off point", kTrain, kCutOff},
};

constexpr std::string_view kSections[] = {"[generale]", "[curve]",      "[pendenze]",  "[montagne]",
                                          "[cartelli]", "[indicazioni]", "[aderenze]", "[vel_limite]",
                                          "[stazioni]", "[rallentamenti]", "[segnali]", "[abbattimenti]",
                                          "[codici]",   "[fine]"};

bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "curvas5", "curvad1": "curva", a side and one digit.
bool is_curve_keyword(std::string_view keyword) {
  return keyword.size() == 7 && keyword.starts_with("curva") && (keyword[5] == 's' || keyword[5] == 'd') &&
         keyword[6] >= '0' && keyword[6] <= '9';
}

bool is_repetition_keyword(std::string_view keyword) {
  constexpr std::string_view kFront = "ripetizione segnali ";
  constexpr std::string_view kBack = " codici";
  if (!keyword.starts_with(kFront) || !keyword.ends_with(kBack)) return false;
  if (keyword.size() <= kFront.size() + kBack.size()) return false;
  return all_digits(keyword.substr(kFront.size(), keyword.size() - kFront.size() - kBack.size()));
}

}  // namespace

std::string_view unit_name(FieldUnit unit) {
  switch (unit) {
    case kPosition:
    case kMetres:
      return "m";
    case kKmh:
      return "km/h";
    case kPerMille:
      return "per mille";
    case kHours:
      return "h";
    case kMinutes:
      return "min";
    case kSeconds:
      return "s";
    case kPercent:
      return "%";
    case kNumber:
    case kText:
      break;
  }
  return "";
}

std::span<const RecordKind> record_kinds() { return kKinds; }

std::span<const std::string_view> section_headers() { return kSections; }

const RecordKind* find_record_kind(std::string_view keyword, bool first_of_section) {
  std::string_view wanted = keyword;
  if (is_curve_keyword(keyword)) wanted = "curva";
  if (is_repetition_keyword(keyword)) wanted = "ripetizione segnali 4 codici";
  for (const RecordKind& kind : kKinds) {
    if (wanted != kind.keyword) continue;
    // A keyword listed twice: its first entry is the section's first record's layout.
    if (kind.first_of_section && !first_of_section) continue;
    return &kind;
  }
  return nullptr;
}

}  // namespace scenario
