// The service's answer texts: "<result>OK</result><value>...</value>" or a refusal with a
// message and an error code, and the HTML pages of the web site.
#pragma once

#include <string>
#include <string_view>

#include "server/request.h"

namespace zerva::server {

// Error codes of refusals. 1 is what the client reads as "image server unavailable", so no
// ordinary refusal uses it.
enum ErrCode {
  kErrImageServerUnavailable = 1,
  kErrAuth = 2,
  kErrBadRequest = 3,
  kErrNotFound = 4,
  kErrBadName = 5,
  kErrQuota = 6,
  kErrExists = 7,
  kErrTooLarge = 8,
  kErrInternal = 9,
  kErrIncomplete = 10,
  kErrUnknownCommand = 11,
};

std::string OkText(std::string_view value);
std::string RefusalText(std::string_view message, int errcode);

ServerResponse Ok(std::string_view value = {});
ServerResponse Refuse(std::string_view message, int errcode);
// A text answer with the given HTTP status (used for 404 refusals of file downloads).
ServerResponse TextAnswer(int status, std::string body, std::string contentType = "text/xml");
ServerResponse HtmlPage(int status, std::string_view title, std::string_view bodyHtml);
ServerResponse Redirect(std::string location);
ServerResponse FileAnswer(const std::string& path, std::string contentType);
ServerResponse NotFoundPage();

// Escapes & < > " ' for HTML text and attributes.
std::string HtmlEscape(std::string_view text);
// Content type by file extension (jpg, png, mp4, lng, xml, dat, zip...).
std::string ContentTypeFor(std::string_view fileName);

}  // namespace zerva::server
