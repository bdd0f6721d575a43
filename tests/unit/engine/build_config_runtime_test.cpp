// The settings are read from the program image at run time: a probe program
// built from the real block is stamped after linking and run under the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "stamp_command.h"
#include "stamp_file.h"
#include "stamp_image.h"
#include "support/scratch.h"
#include "support/updater_process.h"
#include "utils/string/string_utils.h"

namespace {

std::string ProbePath() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + "build_config_probe.exe";
}

// Runs the probe and returns its "name=value" lines; empty if it failed.
std::map<std::string, std::string> RunProbe(const std::string& exe, const std::string& output) {
    TestSupport::ChildProcess probe;
    if (!probe.Start(exe, "\"" + output + "\"")) {
        ADD_FAILURE() << "cannot start " << exe << ", error " << GetLastError();
        return {};
    }
    EXPECT_EQ(probe.WaitForExitCode(60000), 0u);
    std::map<std::string, std::string> values;
    std::istringstream lines(TestSupport::ReadFile(output));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

int RunStampTool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = Stamp::RunStamp(args, out, err);
    EXPECT_EQ(code, 0) << err.str();
    return code;
}

TEST(BuildConfigRuntime, ProbeImageHoldsExactlyOneBlock) {
    const std::string image = Stamp::ReadWholeFile(ProbePath());
    EXPECT_NO_THROW(Stamp::FindBlock(image));
}

TEST(BuildConfigRuntime, ShippedDefaultsHaveTheirForms) {
    TestSupport::ScratchFolder folder;
    auto values = RunProbe(ProbePath(), folder / "out.txt");
    EXPECT_TRUE(std::regex_match(
        values["download-id"],
        std::regex("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}")));
    EXPECT_EQ(values["host"], "updates.nimbra.invalid");
    EXPECT_EQ(values["service-path"], "/DownloadService.svc/GetUpdateXML?did=");
    EXPECT_EQ(values["brand"], "Nimbra");
    EXPECT_TRUE(std::regex_match(values["checksum"], std::regex("[0-9A-F]{32}")));
    EXPECT_EQ(values["decoded-host"], Utils::String::HexEncode("updates.nimbra.invalid"));
}

TEST(BuildConfigRuntime, StampedCopyReadsOnlyTheNewValues) {
    TestSupport::ScratchFolder folder;
    const std::string copy = folder / "probe.exe";
    const std::string longBrand(511, 'L');
    ASSERT_EQ(RunStampTool({ProbePath(), "--output", copy, "--brand", longBrand, "--service-path",
                            "/a/much/longer/service/path?with=query&did="}),
              0);
    ASSERT_EQ(RunStampTool({copy, "--download-id", "7d1e0c3a-0000-4000-8000-00000000beef", "--host",
                            "abc123", "--service-path", "/s?d=", "--checksum",
                            "FFEEDDCCBBAA99887766554433221100"}),
              0);

    auto values = RunProbe(copy, folder / "out.txt");
    EXPECT_EQ(values["download-id"], "7d1e0c3a-0000-4000-8000-00000000beef");
    EXPECT_EQ(values["host"], "616263313233");
    EXPECT_EQ(values["decoded-host"], Utils::String::HexEncode("abc123"));
    EXPECT_EQ(values["service-path"], "/s?d=") << "remains of the longer path must not show";
    EXPECT_EQ(values["brand"], longBrand);
    EXPECT_EQ(values["checksum"], "FFEEDDCCBBAA99887766554433221100");
}

}  // namespace
