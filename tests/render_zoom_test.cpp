// The zoom's data on the drawings' elements, and the hash that admits the zoom script.
#include "render/render_zoom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/render.h"
#include "render/sha256.h"
#include "tests/test_support.h"

namespace scenario {
namespace {

using testing::run_command;
using testing::TempFolder;
using testing::write_whole_file;

std::string hex(const Sha256Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const uint8_t byte : digest) {
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
  }
  return out;
}

TEST(Sha256, KnownDigestsAcrossBlockBoundaries) {
  const struct {
    std::string input;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: the length needs a second block
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) EXPECT_EQ(hex(sha256(c.input)), c.digest) << c.input.size() << " bytes";
}

TEST(Base64, PadsToWholeGroups) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}, {"\xff\xfe", "//4="}};
  for (const auto& [plain, encoded] : cases) {
    EXPECT_EQ(base64(reinterpret_cast<const uint8_t*>(plain.data()), plain.size()), encoded) << plain;
  }
}

TEST(ZoomAttributes, StepZeroIsWrittenAndTheStepsListedOnlyWhenTheyDiffer) {
  const struct {
    const char* what;
    std::vector<StepPlace> steps;
    std::string rotate;
    std::string attributes;
  } cases[] = {
      {"fixed at its anchor", {}, "", " data-at=\"10.0 20.0\" transform=\"translate(10.0 20.0)\""},
      {"one place at every step",
       std::vector<StepPlace>(kZoomStepCount, StepPlace{true, 3, -4}),
       "",
       " data-at=\"10.0 20.0\" data-place=\"3.0 -4.0\" transform=\"translate(13.0 16.0)\""},
      {"hidden at rest, shown further in",
       {{}, {true, 1, 2}, {true, 1, 2}},
       " rotate(-90)",
       " data-at=\"10.0 20.0\" data-place=\"-;1.0 2.0;1.0 2.0\" data-rotate=\" rotate(-90)\" "
       "transform=\"translate(10.0 20.0) rotate(-90)\" visibility=\"hidden\""},
  };
  for (const auto& c : cases) EXPECT_EQ(zoom_attributes({10.04, 19.96}, c.steps, c.rotate), c.attributes) << c.what;
  EXPECT_EQ(leader_element({1, 2}, {{true, 0, 0, 5, -6}, {}}),
            "<path class=\"leader\" data-at=\"1.0 2.0\" data-place=\"0.0 0.0 5.0 -6.0;-\" transform=\"translate(1.0 "
            "2.0)\" d=\"M0 0L5.0 -6.0\"/>\n");
  EXPECT_EQ(zoomed({10, 20}, 3, ZoomAxes::kXY).y, 60);
  EXPECT_EQ(zoomed({10, 20}, 3, ZoomAxes::kX).y, 20);
  // The script knows the same steps.
  std::string steps = "var steps = [";
  for (size_t k = 0; k < kZoomStepCount; ++k) steps += (k ? ", " : "") + num(kZoomSteps[k]).substr(0, num(kZoomSteps[k]).find(".0"));
  EXPECT_NE(zoom_script().find(steps + "];"), std::string::npos) << steps;
}

// A browser admits the script when the policy's hash is that of the script's text: checked here with
// Python's own SHA-256 over the page as written.
TEST(ZoomScript, ThePageAdmitsExactlyItsScript) {
  const LineScene scene;
  const std::string page = render_page(scene, ScenarioRecord(), {"<svg/>", "<svg/>", "<svg/>"});
  TempFolder folder;
  write_whole_file(folder.file("index.html"), page);
  write_whole_file(folder.file("check.py"),
                   "import base64, hashlib, re, sys\n"
                   "page = open(sys.argv[1], encoding='utf-8').read()\n"
                   "scripts = re.findall(r'<script>(.*?)</script>', page, re.S)\n"
                   "assert len(scripts) == 1 and scripts[0].isascii()\n"
                   "digest = base64.b64encode(hashlib.sha256(scripts[0].encode()).digest()).decode()\n"
                   "policy = re.search(r'Content-Security-Policy\" content=\"([^\"]*)\"', page).group(1)\n"
                   "assert policy == \"default-src 'none'; style-src 'unsafe-inline'; script-src 'sha256-\" + digest "
                   "+ \"'\", policy\n"
                   "print('checked')\n");
  std::string output;
  EXPECT_EQ(run_command("python3 " + folder.file("check.py") + " " + folder.file("index.html"), &output), 0) << output;
  EXPECT_NE(output.find("checked"), std::string::npos) << output;
}

}  // namespace
}  // namespace scenario
