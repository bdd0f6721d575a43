#pragma once
// The receiving side of a Utils::HTTP::FileDownloader transfer.
#include <string>

namespace Utils {
namespace HTTP {

// Receives one response body. Called on the thread that runs Download
// (the downloader's own thread in the asynchronous form). Exactly one of
// OnComplete, OnCancelled and OnError ends every Download.
class AbstractFileDownloaderListener {
public:
    virtual ~AbstractFileDownloaderListener() {}
    // One chunk of the body, 1 to 1024 bytes, in order; every chunk but the
    // last holds 1024 bytes. Returning false stops the transfer with OnError(-1).
    virtual bool OnData(const std::string& chunk) = 0;
    // The body was read to its end (and, when the response declared a length, all of it arrived).
    virtual void OnComplete() = 0;
    // The transfer stopped because Cancel was called.
    virtual void OnCancelled() {}
    // The transfer failed: code is the system's error number (ERROR_FILE_TOO_LARGE
    // for a body over the downloader's limit, ERROR_INTERNET_TIMEOUT for one
    // too slow), or -1 when OnData returned false.
    virtual void OnError(int code) = 0;
};

// Accepts and discards everything.
class NullFileDownloaderListener : public AbstractFileDownloaderListener {
public:
    bool OnData(const std::string&) override { return true; }
    void OnComplete() override {}
    void OnCancelled() override {}
    void OnError(int) override {}
};

}  // namespace HTTP
}  // namespace Utils
