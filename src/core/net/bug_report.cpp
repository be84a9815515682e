#include "net/bug_report.h"

#include <cstdlib>

#include "app/elements.h"
#include "app/trace.h"
#include "lang/text.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "net/proxy_text.h"
#include "platform/os_info.h"

namespace zerva {

std::string BuildBugReport(const std::string& failedApi, int count, bool newestFirst,
                           const CHttpMngr* manager) {
  std::string proxy;
  if (manager != nullptr) {
    proxy = manager->ManualProxy();
    const std::string credentials = manager->ManualCredentials();
    if (!proxy.empty() && !credentials.empty()) proxy += "," + MaskCredentials(credentials);
  }
  std::string messages;
  for (const std::string& message : RecentTraceMessages(count, newestFirst)) {
    messages += "\n" + MakeElement("traceMsg", message);
  }
  return MakeElement("failedApi", failedApi) + MakeElement("clientOsVersion", OsVersionString()) +
         MakeElement("httpProxy", proxy) + MakeElement("mostRecentApiMessages", messages);
}

std::string BugEnvelope(int kind, const std::string& description, const std::string& filePath) {
  std::string envelope =
      "<bug>" + MakeElement("id", kind) + MakeElement("description", description);
  if (!filePath.empty()) envelope += MakeElement("file", filePath);
  return envelope + "</bug>";
}

int SendReport(CHttpConnect& connection, const std::string& userName, const std::string& userPass,
               int kind, const std::string& description, const std::string& filePath) {
  const std::string envelope = BugEnvelope(kind, description, filePath);
  const ApiResult result =
      filePath.empty() ? connection.SendBug(userName, userPass, envelope)
                       : connection.SendBugFile(userName, userPass, envelope, filePath, nullptr);
  if (!result.Ok()) return 0;
  return std::atoi(result.value.c_str());
}

std::string ServiceErrorText(const std::string& pageText, const std::string& serviceText) {
  if (serviceText.empty()) return pageText;
  return pageText + "\n" + Text("msgError") + " " + serviceText;
}

std::string FailureWithLogId(const std::string& pageText, const std::string& serviceText,
                             int reportNumber) {
  std::string text = ServiceErrorText(pageText, serviceText);
  if (reportNumber > 0) text += "\nLog ID " + std::to_string(reportNumber);
  return text;
}

}  // namespace zerva
