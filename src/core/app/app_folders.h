// The program's working folders, which depend on the service it talks to.
#pragma once

#include <string>

namespace zerva {

// The service's domain name: expected connection-test answer, temporary sub-folder and
// message-box caption prefix.
inline constexpr const char* kDefaultServiceDomainName = "zerva.localhost";
void SetServiceDomainName(const std::string& name);
std::string ServiceDomainName();

// The cache root plus a sub-folder named after the service domain, with a trailing "/",
// created with mode 0700 when missing (prepared files survive restarts there). When the cache
// root cannot be used, the program folder's "temp/".
std::string TempFolder();
// A named sub-folder of the temporary folder, with a trailing "/", created when missing.
std::string TempSubFolder(const std::string& name);

}  // namespace zerva
