#pragma once
// The build settings that the stamping tool writes into the finished
// executable: six contiguous 512-byte text slots in initialised data.
#include <string>

namespace BuildConfig {

constexpr int kSlotSize = 512;
constexpr int kSlotCount = 6;
// Slot 0: the stamping tool finds the block by this text; the program never reads it.
// Program code must not use kMarker at run time: a second copy of the text in
// the image makes the stamping tool refuse the executable.
constexpr char kMarker[] = "~############  THE BEST DOWNLOADER EVER  ############~";

// Raw slot texts (up to the first zero byte), read from the image at run time.
std::string GetDownloadId();       // slot 1, recorded as "GuiString"
std::string GetServerHost();       // slot 2, recorded as "DownloadServer"
std::string GetServicePath();      // slot 3, recorded as "DownloadServerFolder"
std::string GetBrand();            // slot 4, recorded as "Brand"
std::string GetUpdaterChecksum();  // slot 5, recorded as "DownloaderCRC"

// A text of hex digits only (or empty) is hex-decoded; any other text is the
// value itself. Throws a heap-allocated Utils::Exception* for odd-length hex.
std::string DecodeSlotText(const std::string& text);

}  // namespace BuildConfig
