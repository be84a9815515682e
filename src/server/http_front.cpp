#include "server/http_front.h"

#include <fcntl.h>
#include <httplib.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <thread>

#include "server/answers.h"
#include "server/form_parser.h"
#include "server/limits.h"
#include "server/multipart_parser.h"
#include "server/names.h"
#include "server/server.h"

namespace zerva::server {
namespace {

std::string HostWithoutPort(const std::string& hostHeader) {
  std::string host = hostHeader;
  if (!host.empty() && host.front() == '[') {
    const size_t close = host.find(']');
    host = close == std::string::npos ? host : host.substr(1, close - 1);
  } else {
    const size_t colon = host.rfind(':');
    if (colon != std::string::npos) host = host.substr(0, colon);
  }
  return ToLower(host);
}

// httplib would parse multipart bodies itself, byte by byte and without the bounds and the
// part order this service keeps; such a request is relabelled before routing so that its body
// arrives raw, and ParseMultipart reads it. The original type travels in this header.
constexpr const char* kMultipartType = "X-Zerva-Multipart-Type";

std::string ContentType(const httplib::Request& h) {
  return h.has_header(kMultipartType) ? h.get_header_value(kMultipartType)
                                      : h.get_header_value("Content-Type");
}

ServerRequest Convert(const httplib::Request& h) {
  ServerRequest req;
  req.method = h.method;
  req.host = HostWithoutPort(h.get_header_value("Host"));
  req.path = h.path.empty() ? "/" : h.path;
  const size_t q = h.target.find('?');
  if (q != std::string::npos) req.query = ParseQuery(std::string_view(h.target).substr(q + 1));
  const bool relabelled = h.has_header(kMultipartType);
  for (const auto& [name, value] : h.headers) {
    if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
        name == "LOCAL_PORT" || (relabelled && name == "Content-Type"))
      continue;
    req.headers.emplace_back(name == kMultipartType ? "Content-Type" : name, value);
  }
  req.remoteAddr = h.remote_addr;
  return req;
}

void ReadBody(const httplib::Request& h, const httplib::ContentReader& reader, ServerRequest* req) {
  std::string body;
  std::string error;
  long long announced = 0;
  if (ParseInt64(h.get_header_value("Content-Length"), &announced) && announced > 0)
    body.reserve(static_cast<size_t>(announced));
  const bool ok = reader([&](const char* data, size_t length) {
    if (body.size() + length > kMaxBodyBytes) {
      error = "request body too large";
      return false;
    }
    body.append(data, length);
    return true;
  });
  req->bodyBytes = body.size();
  if (!ok) {
    req->bodyError = error.empty() ? "incomplete request body" : error;
    return;
  }
  const std::string type = ContentType(h);
  if (h.has_header(kMultipartType)) {
    if (!ParseMultipart(body, MultipartBoundary(type), &req->fields, &error))
      req->bodyError = error;
  } else if (!body.empty() &&
             (type.empty() || ToLower(type).rfind("application/x-www-form-urlencoded", 0) == 0)) {
    if (!ParseUrlEncoded(body, &req->fields, &error)) req->bodyError = error;
  }
}

void Respond(ServerResponse&& r, bool closeAfter, httplib::Response& h) {
  h.status = r.status;
  for (const auto& [name, value] : r.headers) h.set_header(name, value);
  if (closeAfter) h.set_header("Connection", "close");
  if (r.delivery == Delivery::kDropConnection) {
    // Headers go out, then the connection is cut: the client sees a transfer failure.
    h.set_chunked_content_provider(r.contentType, [](size_t, httplib::DataSink&) { return false; });
    return;
  }
  if (!r.filePath.empty()) {
    const int fd = ::open(r.filePath.c_str(), O_RDONLY | O_CLOEXEC);
    const off_t size = fd >= 0 ? ::lseek(fd, 0, SEEK_END) : -1;
    if (fd < 0 || size < 0) {
      if (fd >= 0) ::close(fd);
      h.status = 404;
      h.set_content(RefusalText("File not found", kErrNotFound), "text/xml");
      return;
    }
    auto handle = std::shared_ptr<int>(new int(fd), [](int* p) {
      ::close(*p);
      delete p;
    });
    h.set_content_provider(static_cast<size_t>(size), r.contentType,
                           [handle](size_t offset, size_t length, httplib::DataSink& sink) {
                             char buffer[65536];
                             const size_t want = std::min(length, sizeof buffer);
                             ssize_t n;
                             do {
                               n = ::pread(*handle, buffer, want, static_cast<off_t>(offset));
                             } while (n < 0 && errno == EINTR);
                             if (n <= 0) return false;
                             return sink.write(buffer, static_cast<size_t>(n));
                           });
    return;
  }
  h.set_content(std::move(r.body), r.contentType);
}

}  // namespace

struct HttpFront::Impl {
  ZervaServer& owner;
  const ServerOptions& options;
  httplib::Server http;
  std::thread thread;

  Impl(ZervaServer& o, const ServerOptions& opts) : owner(o), options(opts) {}

  void Serve(const httplib::Request& h, httplib::Response& res,
             const httplib::ContentReader* reader) {
    ServerRequest req = Convert(h);
    // A POST without length and without chunks has no body; reading would wait for the close.
    const bool hasBody = h.has_header("Content-Length") || h.has_header("Transfer-Encoding");
    long long announced = 0;
    if (ParseInt64(h.get_header_value("Content-Length"), &announced) &&
        announced > static_cast<long long>(kMaxBodyBytes)) {
      // Refused before a byte of it is read; the connection closes after the answer.
      req.bodyError = "request body too large";
      LoggedRequest entry = RequestLog::Describe(req, h.get_header_value("Host"), h.target);
      entry.status = 413;
      owner.service().log().Add(std::move(entry));
      Respond(TextAnswer(413, RefusalText("Request body too large", kErrTooLarge)), true, res);
      return;
    }
    if (reader && hasBody) ReadBody(h, *reader, &req);
    const bool close = !req.bodyError.empty();
    Respond(owner.Handle(req, h.get_header_value("Host"), h.target), close, res);
  }
};

HttpFront::HttpFront(ZervaServer& owner, const ServerOptions& options)
    : impl_(std::make_unique<Impl>(owner, options)) {}

HttpFront::~HttpFront() {
  Stop();
  Wait();
}

bool HttpFront::Start(int* port, std::string* error) {
  httplib::Server& http = impl_->http;
  const int threads = impl_->options.threads;
  http.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  http.set_payload_max_length(kMaxBodyBytes + (1u << 20));
  http.set_keep_alive_max_count(1000);
  http.set_keep_alive_timeout(10);
  http.set_read_timeout(60, 0);
  http.set_write_timeout(60, 0);
  http.set_tcp_nodelay(true);
  http.set_pre_routing_handler([](const httplib::Request& h, httplib::Response&) {
    // The request object httplib passes here is its own, not a constant one.
    auto& request = const_cast<httplib::Request&>(h);
    request.headers.erase(kMultipartType);  // only this server sets it
    if (request.is_multipart_form_data()) {
      const std::string type = request.get_header_value("Content-Type");
      request.headers.erase("Content-Type");
      request.headers.emplace("Content-Type", "application/octet-stream");
      request.headers.emplace(kMultipartType, type);
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  Impl* impl = impl_.get();
  http.Post(".*", [impl](const httplib::Request& h, httplib::Response& res,
                         const httplib::ContentReader& reader) { impl->Serve(h, res, &reader); });
  http.Get(".*", [impl](const httplib::Request& h, httplib::Response& res) {
    impl->Serve(h, res, nullptr);
  });
  http.set_error_handler(
      std::function<httplib::Server::HandlerResponse(const httplib::Request&, httplib::Response&)>(
          [](const httplib::Request&, httplib::Response& res) {
            if (!res.body.empty() || res.content_length_ > 0 || res.content_provider_)
              return httplib::Server::HandlerResponse::Unhandled;
            res.set_content(RefusalText("HTTP error " + std::to_string(res.status), kErrBadRequest),
                            "text/xml");
            return httplib::Server::HandlerResponse::Handled;
          }));
  http.set_exception_handler(
      [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content(RefusalText("Internal error", kErrInternal), "text/xml");
      });

  const std::string& host = impl_->options.listenAddress;
  if (*port == 0) {
    *port = http.bind_to_any_port(host);
    if (*port <= 0) {
      *error = "cannot bind " + host;
      return false;
    }
  } else if (!http.bind_to_port(host, *port)) {
    *error = "cannot bind " + host + ":" + std::to_string(*port);
    return false;
  }
  impl_->thread = std::thread([impl] { impl->http.listen_after_bind(); });
  return true;
}

void HttpFront::Stop() {
  impl_->http.stop();
}

void HttpFront::Wait() {
  if (impl_->thread.joinable()) impl_->thread.join();
}

}  // namespace zerva::server
