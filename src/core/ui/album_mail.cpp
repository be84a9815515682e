#include "ui/album_mail.h"

#include <algorithm>

#include "app/text_utils.h"
#include "lang/text.h"
#include "model/album.h"
#include "net/bug_report.h"
#include "net/http_connect.h"
#include "session/user_session.h"

namespace zerva {

bool RecipientsLookValid(std::string_view text) {
  const size_t at = text.find('@');
  if (at == std::string_view::npos || at < 2) return false;
  const size_t dot = text.find('.', at + 1);
  if (dot == std::string_view::npos || dot - at - 1 < 2) return false;
  return text.size() - dot - 1 >= 2;
}

std::vector<std::string> SplitRecipients(std::string_view text) {
  std::vector<std::string> addresses;
  std::string current;
  for (char c : text) {
    if (c == ';' || c == ',') {
      if (!current.empty()) addresses.push_back(std::move(current));
      current.clear();
    } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      current += c;
    }
  }
  if (!current.empty()) addresses.push_back(std::move(current));
  return addresses;
}

std::string JoinRecipients(const std::vector<std::string>& addresses) {
  std::string joined;
  for (const std::string& address : addresses) {
    if (!joined.empty()) joined += ';';
    joined += address;
  }
  return joined;
}

bool HasRecipient(std::string_view field, std::string_view address) {
  const std::vector<std::string> present = SplitRecipients(field);
  return std::find(present.begin(), present.end(), address) != present.end();
}

std::string WithRecipient(std::string_view field, std::string_view address) {
  std::vector<std::string> present = SplitRecipients(field);
  if (std::find(present.begin(), present.end(), address) == present.end()) {
    present.emplace_back(address);
  }
  std::string text;
  for (const std::string& entry : present) text += (text.empty() ? "" : "; ") + entry;
  return text;
}

std::string WithoutRecipient(std::string_view field, std::string_view address) {
  std::string text;
  for (const std::string& entry : SplitRecipients(field)) {
    if (entry != address) text += (text.empty() ? "" : "; ") + entry;
  }
  return text;
}

std::string AlbumMailSubject(const CAlbum& album) {
  return album.name;
}

std::string AlbumMailMessage(const CAlbum& album) {
  std::string message =
      "\r\n\r\n" + Text("SendAlbumDlgAlbumURL") + "\r\n" + album.AlbumUrl() + "\r\n";
  if (!album.desc.empty()) {
    // The description's lines end in LF and may hold "<br>" marks: the mail's lines all end in
    // CR LF, whichever the description used.
    message += "\r\n" + Text("SendAlbumDlgAlbumDesc") + "\r\n" +
               LfToCrLf(NormalizeToLf(album.desc, true, false, false));
  }
  return message;
}

std::string SenderAddress(const CUserSession& session) {
  const std::string& name = session.LoginName();
  return RecipientsLookValid(name) && SplitRecipients(name).size() == 1 ? name : std::string();
}

bool SendAlbumMail(CUserSession& session, CHttpConnect& connection,
                   const std::vector<std::string>& recipients, const std::string& subject,
                   const std::string& message, std::string* errorText) {
  std::vector<std::string>& book = session.MutableDetails().emailHistory;
  for (const std::string& address : recipients) {
    if (std::find(book.begin(), book.end(), address) == book.end()) book.push_back(address);
  }
  const SessionCredentials credentials = session.Credentials();
  const ApiResult result =
      connection.SendEmail(credentials.name, credentials.passwordDigest, credentials.userId,
                           JoinRecipients(recipients), subject, message, SenderAddress(session));
  if (result.Ok()) return true;
  *errorText = ServiceErrorText(Text("SendAlbumDlgSendError"), result.message);
  return false;
}

bool ForgetMailAddress(CUserSession& session, CHttpConnect& connection,
                       const std::string& address) {
  const SessionCredentials credentials = session.Credentials();
  if (!connection.DeleteEmailAddress(credentials.name, credentials.passwordDigest, address).Ok()) {
    return false;
  }
  std::erase(session.MutableDetails().emailHistory, address);
  return true;
}

}  // namespace zerva
