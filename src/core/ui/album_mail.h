// Sending an album's address by e-mail through the service, as the send page and zerva-cli's
// send verb do it: the recipient rules, the message template, the address book and the call.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zerva {

class CAlbum;
class CHttpConnect;
class CUserSession;

// Whether the recipients field may be sent: an "@" with at least two characters before it, a "."
// after it with at least two characters between them and at least two after the "." (only the
// first "@" and the first "." after it count).
bool RecipientsLookValid(std::string_view text);
// "," counts as ";", blanks go, the text is split at ";" and empty parts are dropped.
std::vector<std::string> SplitRecipients(std::string_view text);
std::string JoinRecipients(const std::vector<std::string>& addresses);
// Whether `address` is one of the field's recipients.
bool HasRecipient(std::string_view field, std::string_view address);
// The field with `address` added at its end ("; " between) or removed.
std::string WithRecipient(std::string_view field, std::string_view address);
std::string WithoutRecipient(std::string_view field, std::string_view address);

// The subject and the message a mail about `album` starts with (the address, then the
// description as plain text when there is one); lines end in CR LF.
std::string AlbumMailSubject(const CAlbum& album);
std::string AlbumMailMessage(const CAlbum& album);

// The user's own address sent as the sender: the sign-in name when it is an e-mail address;
// otherwise empty, and the service uses the address it keeps for the account. Never invented.
std::string SenderAddress(const CUserSession& session);

// Every address not yet in the session's address book is added to it, then SendEmail. False
// puts the translation of "SendAlbumDlgSendError" with the service's text into `errorText`.
[[nodiscard]] bool SendAlbumMail(CUserSession& session, CHttpConnect& connection,
                                 const std::vector<std::string>& recipients,
                                 const std::string& subject, const std::string& message,
                                 std::string* errorText);
// DeleteEmailAddress; on success the address leaves the session's address book.
[[nodiscard]] bool ForgetMailAddress(CUserSession& session, CHttpConnect& connection,
                                     const std::string& address);

}  // namespace zerva
