// The service checks of start-up, each on the connection it is given: the connection test,
// the server's message, and the ini file's proxy handed to the connection manager.
#pragma once

#include <cstdint>
#include <string>

#include "net/api_result.h"

namespace zerva {

class CHttpConnect;
class CHttpMngr;
struct ProxyIniSettings;

struct ConnectionTestResult {
  bool ok = false;
  int64_t elapsedMs = 0;
  std::string rawAnswer;    // the body received, or the transport's text when none came
  std::string description;  // why the test failed
};

// GetUrlToString on the connection-test URL, timed. Passes when the call succeeded and the
// answer's `value` element equals the service domain name.
ConnectionTestResult RunConnectionTest(CHttpConnect& connection);

// The error box of a failed test: "msgHttpError" filled with the upload domain, the text of
// "msgError" and the description, then the program name and version; with tracing the raw
// answer, and the trace window's text when one is open, each after a "*****" line.
std::string ConnectionFailureText(const ConnectionTestResult& test, bool tracing,
                                  bool traceWindowOpen, const std::string& traceWindowText);

struct ServerMessage {
  std::string text;  // empty: the service has nothing to say
  bool isError = false;
};

// The service's message for this client version; nothing when the call fails.
ServerMessage FetchServerMessage(CHttpConnect& connection);

// The ini file's proxy host and port, and its user name and password when a user name is
// given, become the manager's manual proxy and credentials, neither marked as known.
void ApplyProxyIni(const ProxyIniSettings& ini, CHttpMngr& manager);

}  // namespace zerva
