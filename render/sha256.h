// SHA-256 (FIPS 180-4) of a byte string, and the base64 text of a digest: what a content security
// policy's 'sha256-...' source names an inline script by.
#ifndef SCENARIO_RENDER_SHA256_H_
#define SCENARIO_RENDER_SHA256_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace scenario {

inline constexpr size_t kSha256Size = 32;
using Sha256Digest = std::array<uint8_t, kSha256Size>;

Sha256Digest sha256(std::string_view bytes);

// Standard base64 with '=' padding.
std::string base64(const uint8_t* bytes, size_t size);

}  // namespace scenario

#endif  // SCENARIO_RENDER_SHA256_H_
