// The loopback address with a port, as the tests' sockets bind and connect to it (0: any port).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdint>

namespace zerva::test {

inline sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace zerva::test
