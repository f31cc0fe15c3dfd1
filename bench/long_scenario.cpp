#include "bench/long_scenario.h"

namespace scenario::bench {
namespace {

constexpr int32_t kCurveSpacing = 1000;
constexpr int32_t kFirstCurve = 800;
constexpr int32_t kCurveLength = 400;
constexpr int32_t kGradientSpacing = 2000;
constexpr int32_t kBoards = 40;
constexpr int32_t kSpeedLimitSpacing = 50000;
constexpr int32_t kSignalSpacing = 5000;

std::string number(int64_t value) { return std::to_string(value); }

}  // namespace

std::string long_line_description(int32_t length) {
  std::string text = "[generale]\r\nlunghezza percorso, " + number(length) +
                     "\r\nprogressiva chilometrica uno, 0, 0, 0\r\nsfondo uno, 1\r\n"
                     "ripetizione segnali 4 codici, 0, 0\r\n[curve]\r\n";
  for (int32_t start = kFirstCurve, n = 0; start + kCurveLength < length; start += kCurveSpacing, ++n) {
    text += std::string("curva") + (n % 2 == 0 ? "s" : "d") + number(1 + n % 6) + ", " + number(start) + ", " +
            number(kCurveLength) + "\r\n";
  }
  text += "[pendenze]\r\n";
  for (int32_t p = 0, n = 0; p < length; p += kGradientSpacing, ++n) {
    text += "pendenza, " + number(p) + ", " + number(n % 21 - 10) + "\r\n";
  }
  text += "[indicazioni]\r\n";
  for (int32_t n = 1; n <= kBoards; ++n) {
    const int64_t p = int64_t{length} * n / (kBoards + 1) / 50 * 50 + 25;
    text += "cartello_indicatore, " + number(p) + ", (Km " + number(p / 1000) + ")\r\n";
  }
  text += "[fine]\r\n";
  return text;
}

std::string small_train_description(int32_t length) {
  std::string text =
      "[generale]\r\nnumero vetture, 2\r\npercentuale massa frenata, 95\r\nsabbia, 60\r\n"
      "orologio, 8 0 0 \r\n[aderenze]\r\naderenza, 0, 100\r\n[vel_limite]\r\n";
  for (int32_t p = 0, n = 0; p < length; p += kSpeedLimitSpacing, ++n) {
    text += "velocita, " + number(p) + ", " + number(100 + n % 5 * 10) + "\r\n";
  }
  const int32_t last_station = (length - 1000) / 50 * 50;
  text += "[stazioni]\r\n";
  text += "stazione, 0, 7, 800, 1, 0, 0, 4, 1, 0, 2, 1, 1, 1, 8, 0, 0, PARTENZA\r\n";
  text += "stazione, " + number(last_station) + ", 12, 500, 1, 0, 0, 1, 1, 0, 2, 1, 1, 0, 0, 0, 0, ARRIVO\r\n";
  text += "[rallentamenti]\r\n[segnali]\r\n";
  for (int32_t p = 2000; p + 2000 < last_station; p += kSignalSpacing) {
    text += "segnale, " + number(p) + ", 2, 3, 1, 0, 0, 0, 0, 0, 0, 0\r\n";
  }
  text += "[fine]\r\n";
  return text;
}

}  // namespace scenario::bench
