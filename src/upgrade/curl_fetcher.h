// The site's files over HTTP with libcurl: http and https only (redirects
// too), certificates checked, a connect and a total time-out, a capped body.
// One fetch may run on any thread; Cancel may come from another one.
#pragma once

#include "engine/update/update_check.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

namespace zv::upgrade {

// Prepares libcurl for the whole program; false when it cannot be used.
bool InitialiseNetwork();

class CurlFetcher final : public zv::UpdateFetcher {
public:
    using StatusListener = std::function<void(const std::string& line)>;

    explicit CurlFetcher(std::chrono::milliseconds total = std::chrono::seconds(30)) : total_(total) {}

    zv::FetchResult FetchUrlText(const std::string& url) override;

    // Each new status line ("Read 4096 bytes") while a fetch runs, on the
    // fetch's thread.
    void SetStatusListener(StatusListener listener) { listener_ = std::move(listener); }
    // Ends the running fetch and fails every later one (with its status
    // line); from any thread, also before the fetch has begun.
    void Cancel() { cancelled_ = true; }

private:
    std::chrono::milliseconds total_;
    StatusListener listener_;
    std::atomic<bool> cancelled_{false};
};

} // namespace zv::upgrade
