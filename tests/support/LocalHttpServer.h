#pragma once

#include <memory>
#include <string>
#include <thread>

#include <httplib.h>

namespace testing_support {

// A real HTTP server on 127.0.0.1 at a free port, running on its own thread
// for the object's life. Register handlers on server() before start().
class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    httplib::Server& server() { return *m_server; }
    // Binds to a free loopback port and starts serving; returns the port.
    int start();
    void stop();
    int port() const { return m_port; }
    // "127.0.0.1:<port>", as the quote-host settings take it.
    std::string hostPort() const;
    // "http://127.0.0.1:<port><path>"
    std::string url(const std::string& path) const;

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
};

// A loopback port on which nothing listens (bound, then closed again).
int UnusedLoopbackPort();

}  // namespace testing_support
