#include "tests/support/HttpRecorder.h"

#include <ws2tcpip.h>

HttpRecorder::HttpRecorder()
{
    WSADATA data;
    m_wsa = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!m_wsa)
        return;
    m_listen = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_listen == INVALID_SOCKET)
        return;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    int len = sizeof(addr);
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
        ::listen(m_listen, 8) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    {
        ::closesocket(m_listen);
        m_listen = INVALID_SOCKET;
        return;
    }
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

HttpRecorder::~HttpRecorder()
{
    m_stop = true;
    if (m_listen != INVALID_SOCKET)
        ::closesocket(m_listen);
    if (m_thread.joinable())
        m_thread.join();
    if (m_wsa)
        ::WSACleanup();
}

std::vector<std::string> HttpRecorder::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void HttpRecorder::Serve()
{
    while (!m_stop)
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_listen, &readable);
        timeval wait{0, 100000};
        if (::select(0, &readable, nullptr, nullptr, &wait) <= 0)
            continue;
        SOCKET client = ::accept(m_listen, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        std::string request;
        char buffer[2048];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536)
        {
            int n = ::recv(client, buffer, sizeof(buffer), 0);
            if (n <= 0)
                break;
            request.append(buffer, static_cast<size_t>(n));
        }
        size_t eol = request.find("\r\n");
        if (eol != std::string::npos)
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request.substr(0, eol));
        }
        static const char reply[] =
            "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 13\r\n"
            "Connection: close\r\n\r\n<html></html>";
        ::send(client, reply, static_cast<int>(sizeof(reply) - 1), 0);
        ::shutdown(client, SD_BOTH);
        ::closesocket(client);
    }
}
