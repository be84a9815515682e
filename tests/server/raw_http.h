// Bytes straight onto a socket, for requests no well-behaved client would send.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <string>

namespace zerva::test {

// Sends `request` to 127.0.0.1:port; with `closeEarly` the connection is closed right after,
// without reading. Returns the answer (headers and a Content-Length body), or what came back
// until the server closed or 10 s passed.
inline std::string RawExchange(int port, const std::string& request, bool closeEarly = false) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return {};
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  timeval timeout{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string reply;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    size_t sent = 0;
    while (sent < request.size()) {
      const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    if (!closeEarly) {
      char buffer[4096];
      ssize_t n;
      while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
        reply.append(buffer, static_cast<size_t>(n));
        const size_t end = reply.find("\r\n\r\n");
        const size_t length = reply.find("Content-Length: ");
        if (end != std::string::npos && length != std::string::npos && length < end &&
            reply.size() >= end + 4 + std::stoul(reply.substr(length + 16)))
          break;
      }
    }
  }
  ::close(fd);
  return reply;
}

}  // namespace zerva::test
