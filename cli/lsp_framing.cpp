#include "cli/lsp_framing.h"

#include <algorithm>
#include <cctype>

namespace scenario {
namespace {

// No header line of a real client comes near this.
constexpr size_t kLongestHeaderLine = 4096;

// Reads one header line (without its CR LF, a lone LF taken too). False at the stream's end.
bool read_header_line(std::istream& in, std::string* line, bool* too_long) {
  line->clear();
  *too_long = false;
  int c;
  while ((c = in.get()) != std::char_traits<char>::eof()) {
    if (c == '\n') {
      if (!line->empty() && line->back() == '\r') line->pop_back();
      return true;
    }
    if (line->size() < kLongestHeaderLine) {
      line->push_back(static_cast<char>(c));
    } else {
      *too_long = true;
    }
  }
  return false;  // the stream ended, inside a line or not
}

bool equal_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The value of "Content-Length: N"; -1 when it is no whole number within the limit.
long long content_length(std::string_view value) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.empty() || value.size() > 12) return -1;
  long long length = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return -1;
    length = length * 10 + (c - '0');
  }
  return length <= static_cast<long long>(kMaxMessageBody) ? length : -1;
}

}  // namespace

FrameRead MessageReader::read(std::string* body) {
  std::string line;
  long long length = -1;
  bool bad = false;
  std::string why;
  bool any_header = false;
  for (;;) {
    bool too_long = false;
    if (!read_header_line(in_, &line, &too_long)) return FrameRead::kEnd;
    if (line.empty()) {
      if (!any_header) continue;  // blank lines between messages
      break;
    }
    any_header = true;
    if (too_long) {
      bad = true;
      why = "a header line is too long";
      continue;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos) {
      bad = true;
      why = "a header line without a colon";
      continue;
    }
    if (equal_nocase(std::string_view(line).substr(0, colon), "Content-Length")) {
      length = content_length(std::string_view(line).substr(colon + 1));
      if (length < 0) {
        bad = true;
        why = "Content-Length is not a length the server takes";
      }
    }
  }
  if (!bad && length < 0) {
    bad = true;
    why = "no Content-Length";
  }
  if (bad) {
    *body = why;
    return FrameRead::kBadFraming;
  }
  // Read in chunks, so that a length the stream does not hold costs no more memory than it sends.
  constexpr size_t kChunk = size_t{1} << 20;
  body->clear();
  size_t left = static_cast<size_t>(length);
  while (left > 0) {
    const size_t at = body->size();
    const size_t chunk = std::min(left, kChunk);
    body->resize(at + chunk);
    in_.read(body->data() + at, static_cast<std::streamsize>(chunk));
    if (static_cast<size_t>(in_.gcount()) != chunk) return FrameRead::kEnd;
    left -= chunk;
  }
  return FrameRead::kMessage;
}

std::string frame_message(std::string_view body) {
  std::string framed = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  framed += body;
  return framed;
}

}  // namespace scenario
