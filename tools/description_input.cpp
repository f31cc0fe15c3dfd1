#include "tools/description_input.h"

#include "disk/file_replace.h"

namespace scenario {

DescriptionInput read_description_file(const std::string& path, TextEncoding encoding, Description* description) {
  DescriptionInput input;
  description->file_name = path;
  std::string raw;
  input.status = read_file(path, &raw, &input.missing);
  description->exists = input.status.ok();
  if (input.missing) {
    input.status = Status::Ok();
    return input;
  }
  if (!input.status.ok()) return input;
  input.decoded = decode_description(raw, encoding, path);
  description->bytes = std::move(input.decoded.bytes);
  input.decoded.bytes.clear();
  return input;
}

}  // namespace scenario
