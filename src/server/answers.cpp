#include "server/answers.h"

#include <algorithm>
#include <cctype>

#include "app/elements.h"

namespace zerva::server {

std::string OkText(std::string_view value) {
  return MakeElement("result", "OK") + MakeElement("value", value);
}

std::string RefusalText(std::string_view message, int errcode) {
  return MakeElement("result", "ERROR") + MakeElement("value", message) +
         MakeElement("errcode", static_cast<int64_t>(errcode));
}

ServerResponse Ok(std::string_view value) {
  return TextAnswer(200, OkText(value));
}

ServerResponse Refuse(std::string_view message, int errcode) {
  return TextAnswer(200, RefusalText(message, errcode));
}

ServerResponse TextAnswer(int status, std::string body, std::string contentType) {
  ServerResponse r;
  r.status = status;
  r.body = std::move(body);
  r.contentType = std::move(contentType);
  return r;
}

ServerResponse HtmlPage(int status, std::string_view title, std::string_view bodyHtml) {
  std::string html =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlEscape(title) +
      "</title><meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<style>body{font-family:sans-serif;margin:0;background:#f4f1ec;color:#222}"
      "header{background:#2d4a5a;color:#fff;padding:14px 24px}header a{color:#fff}"
      "main{padding:18px 24px}a{color:#1d5f8a}.note{color:#666}</style></head><body>";
  html += bodyHtml;
  html += "</body></html>\n";
  return TextAnswer(status, std::move(html), "text/html; charset=utf-8");
}

ServerResponse Redirect(std::string location) {
  ServerResponse r;
  r.status = 302;
  r.contentType = "text/html; charset=utf-8";
  r.body = "<a href=\"" + HtmlEscape(location) + "\">moved</a>\n";
  r.headers.emplace_back("Location", std::move(location));
  return r;
}

ServerResponse FileAnswer(const std::string& path, std::string contentType) {
  ServerResponse r;
  r.filePath = path;
  r.contentType = std::move(contentType);
  return r;
}

ServerResponse NotFoundPage() {
  return HtmlPage(404, "Not found", "<header>zerva</header><main><p>Page not found.</p></main>");
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string ContentTypeFor(std::string_view fileName) {
  const size_t dot = fileName.rfind('.');
  std::string ext = dot == std::string_view::npos ? "" : std::string(fileName.substr(dot + 1));
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == "jpg" || ext == "jpeg") return "image/jpeg";
  if (ext == "png") return "image/png";
  if (ext == "gif") return "image/gif";
  if (ext == "mp4") return "video/mp4";
  if (ext == "lng" || ext == "txt" || ext == "ver") return "text/plain";
  if (ext == "xml" || ext == "dat") return "text/xml";
  if (ext == "html" || ext == "htm") return "text/html; charset=utf-8";
  if (ext == "zip") return "application/zip";
  return "application/octet-stream";
}

}  // namespace zerva::server
