#include "http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zv::test {

namespace {

int BoundSocket(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("no test socket");
    port = ntohs(address.sin_port);
    return fd;
}

void SendAll(int fd, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

} // namespace

HttpServer::HttpServer()
{
    listener_ = BoundSocket(port_);
    ::listen(listener_, 16);
    thread_ = std::thread([this] { Run(); });
}

HttpServer::~HttpServer()
{
    stop_ = true;
    thread_.join();
    for (int fd : held_)
        ::close(fd);
    ::close(listener_);
}

std::string HttpServer::RefusingBase()
{
    int port = 0;
    ::close(BoundSocket(port));
    return "http://127.0.0.1:" + std::to_string(port) + "/";
}

void HttpServer::Serve(const std::string& path, const std::string& body, const std::string& status)
{
    const std::lock_guard lock(mutex_);
    pages_[path] = {status, body};
}

void HttpServer::Run()
{
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0)
            Answer(client);
    }
}

void HttpServer::Answer(int client)
{
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd p{client, POLLIN, 0};
        if (::poll(&p, 1, 2000) <= 0)
            break;
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    ++requests_;
    if (silent_) {
        held_.push_back(client);
        return;
    }
    // "GET /path HTTP/1.1"
    const std::size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    std::pair<std::string, std::string> page{"404 Not Found", "404 Not Found\r\nThe page is not here."};
    {
        const std::lock_guard lock(mutex_);
        if (const auto it = pages_.find(path); it != pages_.end())
            page = it->second;
    }
    std::string extra;
    if (page.first.rfind("30", 0) == 0) { // a redirect: the body is the new address
        extra = "Location: " + page.second + "\r\n";
        page.second.clear();
    }
    SendAll(client, "HTTP/1.1 " + page.first + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                        std::to_string(page.second.size()) + "\r\n" + extra + "Connection: close\r\n\r\n" +
                        page.second);
    ::close(client);
}

} // namespace zv::test
