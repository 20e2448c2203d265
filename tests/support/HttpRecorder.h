// A tiny HTTP server on 127.0.0.1 (any free port) on a thread of its own: it records the request
// line of every request and answers each with a small page. Used as the proxy of Wine's URL
// fetching, it sees the absolute URLs a browser requests.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class HttpRecorder
{
public:
    HttpRecorder();
    ~HttpRecorder();
    HttpRecorder(const HttpRecorder&) = delete;
    HttpRecorder& operator=(const HttpRecorder&) = delete;

    // 0 when the server could not start.
    unsigned short Port() const { return m_port; }
    // Request lines received so far ("GET http://host/path HTTP/1.1").
    std::vector<std::string> Requests() const;

private:
    void Serve();

    SOCKET m_listen = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
    bool m_wsa = false;
};
