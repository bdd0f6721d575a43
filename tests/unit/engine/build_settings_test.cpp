#include "engine/build_settings.h"

#include <gtest/gtest.h>

#include "support/scratch.h"
#include "utils/reg/reg_manager.h"

namespace {

BuildSettings SampleSettings() {
    BuildSettings settings;
    settings.downloadId = "3132";  // hex digits: recorded raw, never decoded
    settings.serverHost = "3132372e302e302e31";
    settings.servicePath = "/DownloadService.svc/GetUpdateXML?did=";
    settings.brand = "Brand With Blanks";
    settings.updaterChecksum = "0123456789ABCDEF0123456789ABCDEF";
    return settings;
}

TEST(RecordBuildSettings, WritesTheFiveRawValues) {
    TestSupport::ScratchRegistryKey key;
    Utils::RegManager productKey(true, key.Name());
    const BuildSettings settings = SampleSettings();
    productKey.SetStringValue("Brand", "old value");  // overwritten

    ASSERT_TRUE(Engine::RecordBuildSettings(productKey, settings));
    EXPECT_EQ(productKey.GetStringValue("GuiString"), settings.downloadId);
    EXPECT_EQ(productKey.GetStringValue("DownloadServer"), settings.serverHost);
    EXPECT_EQ(productKey.GetStringValue("DownloadServerFolder"), settings.servicePath);
    EXPECT_EQ(productKey.GetStringValue("Brand"), settings.brand);
    EXPECT_EQ(productKey.GetStringValue("DownloaderCRC"), settings.updaterChecksum);
}

TEST(RecordBuildSettings, FailsWhenTheKeyCannotBeWritten) {
    // A key name longer than the registry allows cannot be created.
    Utils::RegManager productKey(true, std::string(300, 'k'));
    EXPECT_FALSE(Engine::RecordBuildSettings(productKey, SampleSettings()));
}

TEST(DecodeSetting, PlainHexAndUndecodable) {
    const struct {
        const char* slot;
        bool ok;
        const char* host;
    } cases[] = {
        {"updates.nimbra.invalid", true, "updates.nimbra.invalid"},
        {"3132372e302e302e31", true, "127.0.0.1"},
        {"", true, ""},
        {"abc", false, "unchanged"},  // hex digits of odd length
    };
    for (const auto& c : cases) {
        std::string host = "unchanged";
        EXPECT_EQ(Engine::DecodeSetting(c.slot, host), c.ok) << c.slot;
        EXPECT_EQ(host, c.host) << c.slot;
    }
}

}  // namespace
