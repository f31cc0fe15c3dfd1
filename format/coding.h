// Little-endian encoding of the fixed-width numbers of the binary files.
//
// The one place where numbers become bytes and bytes become numbers: each encode_* stores the value
// least significant byte first at a byte pointer, with explicit shifts, or on a little-endian
// machine as one copy of the value's bytes (the same bytes; the copy stays a single store where
// the vectoriser would otherwise split the shifts into byte stores); each put_* appends a value to
// a string the same way; each get_* reads one back from a byte pointer that the caller has checked
// to hold enough bytes. Integers are two's complement; doubles are IEEE 754 binary64.
#ifndef SCENARIO_FORMAT_CODING_H_
#define SCENARIO_FORMAT_CODING_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Stores one element of a 16-bit tag followed by a double: 2 + 8 = 10 bytes.
inline void encode_tagged_f64(char* p, uint16_t tag, double value) {
  encode_u16(p, tag);
  encode_f64(p + 2, value);
}

// Stores `count` elements of a 16-bit tag followed by a double (2 + 8 = 10 bytes each) from
// values[0..count) and returns the end. Two stores per element would leave the loop bound by
// stores, so on x86-64 each eight elements (80 bytes) go out as five 16-byte stores, assembled
// with byte shifts; the rest, and every element on other machines, one field at a time.
inline char* encode_tagged_f64s(char* p, uint16_t tag, const double* values, size_t count) {
  size_t i = 0;
#if defined(__SSE2__)
  // The tag's 16-bit lanes in each of the five 16-byte stores: elements start at bytes 0, 10, 20,
  // ... 70 of the 80, so lanes 0 and 5, then 2 and 7 (bytes 20, 30), 4 (40), 1 and 6 (50, 60), 3 (70).
  const __m128i t = _mm_set1_epi16(static_cast<int16_t>(tag));
  const __m128i tags0 = _mm_and_si128(t, _mm_set_epi16(0, 0, -1, 0, 0, 0, 0, -1));
  const __m128i tags1 = _mm_and_si128(t, _mm_set_epi16(-1, 0, 0, 0, 0, -1, 0, 0));
  const __m128i tags2 = _mm_and_si128(t, _mm_set_epi16(0, 0, 0, -1, 0, 0, 0, 0));
  const __m128i tags3 = _mm_and_si128(t, _mm_set_epi16(0, -1, 0, 0, 0, 0, -1, 0));
  const __m128i tags4 = _mm_and_si128(t, _mm_set_epi16(0, 0, 0, 0, -1, 0, 0, 0));
  auto load = [values](size_t k) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(values + k)); };
  for (; i + 8 <= count; i += 8, p += 80) {
    const __m128i d0 = load(i), d1 = load(i + 1), d2 = load(i + 2), d3 = load(i + 3);
    const __m128i d4 = load(i + 4), d5 = load(i + 5), d6 = load(i + 6), d7 = load(i + 7);
    // Bytes 0-15: tag, d0, tag, d1[0..3].
    const __m128i v0 = _mm_or_si128(tags0, _mm_or_si128(_mm_slli_si128(d0, 2), _mm_slli_si128(d1, 12)));
    // Bytes 16-31: d1[4..7], tag, d2, tag.
    const __m128i v1 = _mm_or_si128(tags1, _mm_or_si128(_mm_srli_si128(d1, 4), _mm_slli_si128(d2, 6)));
    // Bytes 32-47: d3, tag, d4[0..5].
    const __m128i v2 = _mm_or_si128(tags2, _mm_or_si128(d3, _mm_slli_si128(d4, 10)));
    // Bytes 48-63: d4[6..7], tag, d5, tag, d6[0..1].
    const __m128i v3 = _mm_or_si128(_mm_or_si128(tags3, _mm_srli_si128(d4, 6)),
                                    _mm_or_si128(_mm_slli_si128(d5, 4), _mm_slli_si128(d6, 14)));
    // Bytes 64-79: d6[2..7], tag, d7.
    const __m128i v4 = _mm_or_si128(tags4, _mm_or_si128(_mm_srli_si128(d6, 2), _mm_slli_si128(d7, 8)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), v1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), v2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48), v3);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 64), v4);
  }
#endif
  for (; i < count; ++i, p += 2 + 8) encode_tagged_f64(p, tag, values[i]);
  return p;
}

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

#endif  // SCENARIO_FORMAT_CODING_H_
