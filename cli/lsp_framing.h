// The base protocol of the language server: messages framed by a "Content-Length: N" header, a
// blank line (CR LF CR LF), then N bytes of JSON.
//
// The reader takes bytes from a stream and gives back one message body at a time. Headers other
// than Content-Length are passed over; a header block without a usable Content-Length, a header
// line longer than any real one, or a length beyond the largest message the server takes is bad
// framing: the reader says so and goes on with the next header block, so one bad message never
// stops the server. A stream that ends inside a message ends the reading.
#ifndef SCENARIO_CLI_LSP_FRAMING_H_
#define SCENARIO_CLI_LSP_FRAMING_H_

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace scenario {

// The largest message body taken: a 30 MB description in JSON, with room for its escapes.
inline constexpr size_t kMaxMessageBody = size_t{256} << 20;

enum class FrameRead {
  kMessage,     // *body holds a message
  kBadFraming,  // a header block that frames nothing (*body holds why); reading goes on
  kEnd,         // the stream ended
};

class MessageReader {
 public:
  explicit MessageReader(std::istream& in) : in_(in) {}
  FrameRead read(std::string* body);

 private:
  std::istream& in_;
};

// A message body framed for sending.
std::string frame_message(std::string_view body);

}  // namespace scenario

#endif  // SCENARIO_CLI_LSP_FRAMING_H_
