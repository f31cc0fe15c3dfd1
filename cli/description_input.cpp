#include "cli/description_input.h"

#include <CLI/CLI.hpp>

#include "disk/file_replace.h"

namespace scenario {

void add_encoding_option(CLI::App& command, std::string* encoding) {
  command.add_option("--encoding", *encoding, "the descriptions' encoding (auto: UTF-8 when marked or valid)")
      ->type_name("ENCODING")->capture_default_str()->check(CLI::IsMember({"auto", "cp1252", "utf-8"}));
}

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
