// Bug reports to the service: what failed, the system and proxy situation and the last trace
// messages. The number the service gives a report is shown to the user as a "Log ID".
#pragma once

#include <functional>
#include <string>

namespace zerva {

class CHttpConnect;
class CHttpMngr;

// Report kinds the program sends.
inline constexpr int kReportPhotoPreparation = 1;
inline constexpr int kReportSetAlbumUploading = 2;
inline constexpr int kReportCreateAlbum = 3;
inline constexpr int kReportEmptyAlbum = 4;
inline constexpr int kReportCheckUpdate = 6;

// failedApi, OS, proxy (credentials masked after the ":") and up to `count` recent trace
// messages (0 = all kept), newest or oldest first.
std::string BuildBugReport(const std::string& failedApi, int count, bool newestFirst,
                           const CHttpMngr* manager);
// "<bug><id>kind</id><description>..</description>[<file>..</file>]</bug>"
std::string BugEnvelope(int kind, const std::string& description, const std::string& filePath);
// SendBug, or SendBugFile when a file is attached; the report number, 0 when sending failed.
int SendReport(CHttpConnect& connection, const std::string& userName, const std::string& userPass,
               int kind, const std::string& description, const std::string& filePath = {});
// How pages show a refusal: their own text, then, when the service sent one, a new line, the
// text of "msgError", a blank and the service's text.
std::string ServiceErrorText(const std::string& pageText, const std::string& serviceText);
// The same, followed by "\nLog ID <number>" for a report number above 0.
std::string FailureWithLogId(const std::string& pageText, const std::string& serviceText,
                             int reportNumber);

// How the layers below the application send a report without knowing the session: the
// application installs a sender bound to the signed-in user's connection and credentials.
using ReportSender =
    std::function<int(int kind, const std::string& description, const std::string& filePath)>;

}  // namespace zerva
