#include "ui/startup_steps.h"

#include <chrono>

#include "app/app_folders.h"
#include "app/elements.h"
#include "app/text_placeholders.h"
#include "app/text_utils.h"
#include "app/version.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"

namespace zerva {
namespace {

// An answer from something that is not our service can be a whole web page; the box shows
// the start of it.
constexpr size_t kMaxShownAnswer = 200;

}  // namespace

ConnectionTestResult RunConnectionTest(CHttpConnect& connection) {
  ConnectionTestResult test;
  const auto start = std::chrono::steady_clock::now();
  const ApiResult result = connection.GetUrlToString(ConnectionTestUrl());
  test.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - start)
                       .count();
  if (!result.Ok()) {
    test.rawAnswer = result.message;
    test.description = result.message;
    return test;
  }
  test.rawAnswer = result.value;
  const std::string value = GetElement(result.value, "value");
  test.ok = value == ServiceDomainName();
  if (!test.ok) {
    // A call that worked but reached something else: say what answered instead of nothing.
    const std::string shown = value.empty() ? result.value : value;
    test.description = "unexpected answer: " + FlattenLines(shown.substr(0, kMaxShownAnswer));
  }
  return test;
}

std::string ConnectionFailureText(const ConnectionTestResult& test, bool tracing,
                                  bool traceWindowOpen, const std::string& traceWindowText) {
  const std::string domain = TrimEndChars(DomainRoot(HostRoot::kUpload), "/");
  const std::string format = BrToLineBreak(Text("msgHttpError"), false, false);
  std::string text = FillTextPlaceholders(format, {domain, Text("msgError"), test.description});
  text += std::string("\n\nProgram ") + kProductName + ", " + "ver." + " " + kVersionText;
  if (tracing) {
    text += "\n\n*****\n\n" + test.rawAnswer;
    if (traceWindowOpen) text += "\n\n*****\n\n" + traceWindowText;
  }
  return text;
}

ServerMessage FetchServerMessage(CHttpConnect& connection) {
  ServerMessage message;
  const ApiResult result = connection.GetUrlToString(ServerMessagesUrl());
  if (!result.Ok()) return message;
  message.text = GetElement(result.value, "value");
  message.isError = !message.text.empty() && GetElement(result.value, "error") == "true";
  return message;
}

void ApplyProxyIni(const ProxyIniSettings& ini, CHttpMngr& manager) {
  manager.SetManualProxy(ini.ProxyHost, ini.ProxyPort, false);
  manager.SetManualCredentials(ini.ProxyUserName, ini.ProxyPassword, false);
}

}  // namespace zerva
