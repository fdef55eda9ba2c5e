// A small HTTP server on 127.0.0.1 for the update checker's tests: it runs on
// its own thread (a fetch may block the test's thread), answers each path
// from a table, and can accept connections without ever answering.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zv::test {

class HttpServer {
public:
    HttpServer();
    ~HttpServer();

    // GET path answers with this status line ("200 OK") and body; any other
    // path gets 404 with a page that begins with a digit.
    void Serve(const std::string& path, const std::string& body, const std::string& status = "200 OK");
    // Accepts and reads requests but never answers them.
    void SetSilent(bool silent) { silent_ = silent; }
    int Requests() const { return requests_; }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

    // An address on which nothing listens.
    static std::string RefusingBase();

private:
    void Run();
    void Answer(int client);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> silent_{false};
    std::atomic<int> requests_{0};
    std::mutex mutex_;
    std::map<std::string, std::pair<std::string, std::string>> pages_;
    std::vector<int> held_;
    std::thread thread_;
};

} // namespace zv::test
