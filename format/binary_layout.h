// Byte layouts of the three binary files, shared by the writers and the readers.
//
// Track cells (.dat): cells 0..N, each a packed 15-byte record, cell i at byte 15 * i.
// Scenario record (.sim): 87 entries, each 34 + n bytes where n is the byte count of its name.
// Line record (_linea.dat): 2 * (L + 1) plan elements, each a 16-bit tag and its value.
// All numbers little-endian, two's complement; no header, no padding, no checksum.
#ifndef SCENARIO_FORMAT_BINARY_LAYOUT_H_
#define SCENARIO_FORMAT_BINARY_LAYOUT_H_

#include <cstddef>
#include <cstdint>

namespace scenario::layout {

// Track cell record: offsets of its fields.
inline constexpr size_t kCellKind = 0;
inline constexpr size_t kCellValueA = 1;
inline constexpr size_t kCellValueB = 3;
inline constexpr size_t kCellValueC = 5;
inline constexpr size_t kCellValueD = 7;
inline constexpr size_t kCellSignalTime = 9;
inline constexpr size_t kCellApproachCode = 10;
inline constexpr size_t kCellMontagnaTipo = 11;
inline constexpr size_t kCellSpeedLimit = 12;
inline constexpr size_t kCellGradient = 13;
inline constexpr size_t kCellAdhesion = 14;
// kind, four 16-bit values, six bytes.
inline constexpr size_t kCellSize = 1 + 4 * 2 + 6 * 1;
static_assert(kCellSize == 15);
static_assert(kCellAdhesion + 1 == kCellSize);

// Station entry: offsets before the name, and after it relative to 16 + n.
inline constexpr size_t kEntryStationType = 0;
inline constexpr size_t kEntryAreaStart = 1;
inline constexpr size_t kEntryAreaEnd = 5;
inline constexpr size_t kEntryPosition = 9;
inline constexpr size_t kEntryOptionA = 13;
inline constexpr size_t kEntryNameLength = 14;
inline constexpr size_t kEntryName = 16;
inline constexpr size_t kEntryGroup1A = 0;  // from here on: offsets after the name
inline constexpr size_t kEntryGroup1B = 2;
inline constexpr size_t kEntryGroup2A = 4;
inline constexpr size_t kEntryGroup2B = 6;
inline constexpr size_t kEntryGroup2C = 8;
inline constexpr size_t kEntryGroup1C = 10;
inline constexpr size_t kEntryStopValue = 11;
inline constexpr size_t kEntryOptionC = 12;
inline constexpr size_t kEntryOptionB = 13;
inline constexpr size_t kEntryTimeSeconds = 14;
// Before the name: type, three 32-bit values, option_a, the 16-bit name length.
inline constexpr size_t kEntryHeadSize = 1 + 3 * 4 + 1 + 2;
// After the name: five 16-bit values, four bytes, time_seconds.
inline constexpr size_t kEntryTailSize = 5 * 2 + 4 * 1 + 4;
inline constexpr size_t kEntryFixedSize = kEntryHeadSize + kEntryTailSize;
static_assert(kEntryHeadSize == kEntryName);
static_assert(kEntryFixedSize == 34);
static_assert(kEntryTimeSeconds + 4 == kEntryTailSize);
// A scenario record with all names empty.
inline constexpr size_t kEmptyScenarioRecordSize = 87 * kEntryFixedSize;
static_assert(kEmptyScenarioRecordSize == 2958);

// Plan element tags and sizes.
inline constexpr uint16_t kTagEmpty = 0;
inline constexpr uint16_t kTagInt16 = 2;
inline constexpr uint16_t kTagDouble = 5;
inline constexpr size_t kTagSize = 2;
inline constexpr size_t kEmptyElementSize = kTagSize;
inline constexpr size_t kInt16ElementSize = kTagSize + 2;
inline constexpr size_t kDoubleElementSize = kTagSize + 8;
static_assert(kDoubleElementSize == 10);

// A fully built plan of L metres: per half, metres 0 and 1 as integers, 2..L-2 as doubles, L-1 and
// L empty: 2 * 4 + (L - 3) * 10 + 2 * 2 = 10 * L - 18 bytes.
inline constexpr size_t built_plan_half_size(size_t plan_length) {
  return 2 * kInt16ElementSize + (plan_length - 3) * kDoubleElementSize + 2 * kEmptyElementSize;
}
static_assert(built_plan_half_size(131000) * 2 == 2619964);

}  // namespace scenario::layout

#endif  // SCENARIO_FORMAT_BINARY_LAYOUT_H_
