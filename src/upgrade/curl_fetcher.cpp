#include "upgrade/curl_fetcher.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace zv::upgrade {

namespace {

// A dead server gets this long to accept the connection.
constexpr std::chrono::milliseconds kConnectTimeout = std::chrono::seconds(10);

struct Transfer {
    std::string body;
    bool tooLarge = false;
    std::chrono::steady_clock::time_point start;
    const CurlFetcher::StatusListener* listener = nullptr;
    const std::atomic<bool>* cancelled = nullptr;
};

size_t Append(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (t->body.size() + bytes > zv::kMaxUpdateBody) {
        t->tooLarge = true;
        return 0; // ends the transfer
    }
    t->body.append(data, bytes);
    if (*t->listener) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - t->start);
        (*t->listener)(zv::ReadStatusLine(static_cast<long long>(t->body.size()), elapsed.count()));
    }
    return bytes;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(user)->cancelled->load() ? 1 : 0;
}

} // namespace

bool InitialiseNetwork()
{
    return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

zv::FetchResult CurlFetcher::FetchUrlText(const std::string& url)
{
    zv::FetchResult result;
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        result.statusLine = "The network library could not start a transfer.";
        return result;
    }
    Transfer transfer;
    transfer.start = std::chrono::steady_clock::now();
    transfer.listener = &listener_;
    transfer.cancelled = &cancelled_;
    char error[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    // Another scheme (file:, ftp:, ...) is refused, also behind a redirect.
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(total_.count()));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::min(total_, kConnectTimeout).count()));
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Append);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Zentavo-upgrade");

    const CURLcode code = curl_easy_perform(c);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (transfer.tooLarge) {
        result.statusLine = "The server's answer is larger than 64 KiB; it is not an update file.";
    } else if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.statusLine = "The check was cancelled.";
    } else if (code != CURLE_OK) {
        result.statusLine = error[0] ? error : curl_easy_strerror(code);
    } else if (status < 200 || status > 299) {
        // A page that says "not found" is no version file, however it begins.
        result.statusLine = "The server answered with status " + std::to_string(status) + ".";
    } else {
        result.ok = true;
        result.body = std::move(transfer.body);
    }
    return result;
}

} // namespace zv::upgrade
