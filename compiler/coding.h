// Little-endian encoding of the fixed-width numbers of the binary files.
//
// The one place where numbers become bytes and bytes become numbers: each encode_* stores the value
// least significant byte first at a byte pointer, with explicit shifts, or on a little-endian
// machine as one copy of the value's bytes (the same bytes; the copy stays a single store where
// the vectoriser would otherwise split the shifts into byte stores); each put_* appends a value to
// a string the same way; each get_* reads one back from a byte pointer that the caller has checked
// to hold enough bytes. Integers are two's complement; doubles are IEEE 754 binary64.
#ifndef SCENARIO_COMPILER_CODING_H_
#define SCENARIO_COMPILER_CODING_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace scenario {

// Stores an unsigned value of any width least significant byte first.
template <typename Unsigned>
inline void encode_fixed(char* p, Unsigned value) {
  static_assert(std::is_unsigned_v<Unsigned>);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &value, sizeof value);
  } else {
    for (size_t i = 0; i < sizeof value; ++i) p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

inline void encode_u8(char* p, uint8_t value) { p[0] = static_cast<char>(value); }
inline void encode_u16(char* p, uint16_t value) { encode_fixed(p, value); }
inline void encode_i16(char* p, int16_t value) { encode_u16(p, static_cast<uint16_t>(value)); }
inline void encode_u32(char* p, uint32_t value) { encode_fixed(p, value); }
inline void encode_i32(char* p, int32_t value) { encode_u32(p, static_cast<uint32_t>(value)); }
inline void encode_u64(char* p, uint64_t value) { encode_fixed(p, value); }
inline void encode_f64(char* p, double value) { encode_u64(p, std::bit_cast<uint64_t>(value)); }

inline void put_u8(std::string& out, uint8_t value) { out.push_back(static_cast<char>(value)); }

inline void put_u16(std::string& out, uint16_t value) {
  char bytes[2];
  encode_u16(bytes, value);
  out.append(bytes, sizeof bytes);
}

inline void put_i16(std::string& out, int16_t value) { put_u16(out, static_cast<uint16_t>(value)); }

inline void put_u32(std::string& out, uint32_t value) {
  char bytes[4];
  encode_u32(bytes, value);
  out.append(bytes, sizeof bytes);
}

inline void put_i32(std::string& out, int32_t value) { put_u32(out, static_cast<uint32_t>(value)); }

inline void put_u64(std::string& out, uint64_t value) {
  char bytes[8];
  encode_u64(bytes, value);
  out.append(bytes, sizeof bytes);
}

inline void put_f64(std::string& out, double value) { put_u64(out, std::bit_cast<uint64_t>(value)); }

// Reads an unsigned value of any width stored least significant byte first.
template <typename Unsigned>
inline Unsigned decode_fixed(const unsigned char* p) {
  static_assert(std::is_unsigned_v<Unsigned>);
  Unsigned value = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&value, p, sizeof value);
  } else {
    for (size_t i = 0; i < sizeof value; ++i) value = static_cast<Unsigned>(value | (Unsigned{p[i]} << (8 * i)));
  }
  return value;
}

inline uint8_t get_u8(const unsigned char* p) { return p[0]; }
inline uint16_t get_u16(const unsigned char* p) { return decode_fixed<uint16_t>(p); }
inline int16_t get_i16(const unsigned char* p) { return static_cast<int16_t>(get_u16(p)); }
inline uint32_t get_u32(const unsigned char* p) { return decode_fixed<uint32_t>(p); }
inline int32_t get_i32(const unsigned char* p) { return static_cast<int32_t>(get_u32(p)); }
inline uint64_t get_u64(const unsigned char* p) { return decode_fixed<uint64_t>(p); }
inline double get_f64(const unsigned char* p) { return std::bit_cast<double>(get_u64(p)); }

}  // namespace scenario

#endif  // SCENARIO_COMPILER_CODING_H_
