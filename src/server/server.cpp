#include "server/server.h"

#include <chrono>
#include <exception>
#include <thread>

#include "platform/fs.h"
#include "server/answers.h"
#include "server/control.h"
#include "server/demo_seed.h"
#include "server/http_front.h"
#include "server/limits.h"
#include "server/names.h"
#include "server/script_groups.h"

namespace zerva::server {
namespace {

ServerResponse InjectedRefusal(const std::string& value) {
  // "code:message", or a message alone.
  const size_t colon = value.find(':');
  long long code = kErrInternal;
  if (colon != std::string::npos && ParseInt64(value.substr(0, colon), &code)) {
    return Refuse(value.substr(colon + 1), static_cast<int>(code));
  }
  return Refuse(value.empty() ? "Injected error" : value, kErrInternal);
}

}  // namespace

ZervaServer::ZervaServer(ServerOptions options) : service_(std::move(options)) {}

ZervaServer::~ZervaServer() {
  Stop();
  Wait();
}

bool ZervaServer::Init(std::string* error) {
  if (!service_.Init(error)) return false;
  RegisterAccountScripts(router_);
  RegisterAlbumScripts(router_);
  RegisterUploadScripts(router_);
  RegisterVideoScripts(router_);
  RegisterCatalogScripts(router_);
  RegisterMailScripts(router_);
  RegisterDiagnosticScripts(router_);
  RegisterServicePages(router_);
  RegisterSitePages(router_);
  if (service_.options().seedDemo && !SeedDemo(service_, error)) return false;
  return true;
}

bool ZervaServer::Start(std::string* error) {
  front_ = std::make_unique<HttpFront>(*this, service_.options());
  int port = service_.options().port;
  if (!front_->Start(&port, error)) return false;
  service_.SetPort(port);
  return true;
}

void ZervaServer::Stop() {
  if (front_) front_->Stop();
}

void ZervaServer::Wait() {
  if (front_) front_->Wait();
}

ServerResponse ZervaServer::Handle(const ServerRequest& req, const std::string& hostHeader,
                                   const std::string& target) {
  if (req.path.rfind(kControlPrefix, 0) == 0) return HandleControl(service_, req);

  const Router::Match match = router_.Resolve(req, service_.options().domain);
  ScriptContext ctx{service_, req, service_.faults().Take(match.keys), match.siteUser};
  std::string note;
  for (const Fault& f : ctx.faults)
    note += std::string(note.empty() ? "" : ",") + FaultKindName(f.kind);

  if (const Fault* delay = ctx.FindFault(FaultKind::kDelay)) {
    long long ms = 0;
    ParseInt64(delay->value, &ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

  ServerResponse resp;
  if (const Fault* status = ctx.FindFault(FaultKind::kStatus)) {
    long long code = 500;
    ParseInt64(status->value, &code);
    resp = TextAnswer(static_cast<int>(code),
                      RefusalText("HTTP error " + std::to_string(code), kErrInternal));
  } else if (ctx.FindFault(FaultKind::kRetry)) {
    resp = TextAnswer(200, "<result>retry</result><value></value>");
  } else if (const Fault* refusal = ctx.FindFault(FaultKind::kError)) {
    resp = InjectedRefusal(refusal->value);
  } else if (!match.handler) {
    resp = NotFoundPage();
  } else if (match.needsFields && !req.bodyError.empty()) {
    resp = Refuse("Request rejected: " + req.bodyError, kErrTooLarge);
  } else if (match.needsFields && !req.EndsWithEof()) {
    // Without the final "eof" field the body may have been cut short; nothing is stored.
    resp = Refuse("Incomplete request: the final eof field is missing", kErrIncomplete);
  } else {
    try {
      resp = (*match.handler)(ctx);
    } catch (const std::exception& e) {
      note += std::string(note.empty() ? "" : ",") + "exception: " + e.what();
      resp = TextAnswer(500, RefusalText("Internal error", kErrInternal));
    }
  }

  if (const Fault* type = ctx.FindFault(FaultKind::kContentType)) {
    resp.contentType = type->value.empty() ? "image/png" : type->value;
  }
  if (ctx.FindFault(FaultKind::kTruncate)) {
    if (!resp.filePath.empty()) {
      resp.body.clear();
      std::string data;
      if (ReadFileBounded(resp.filePath, kMaxBodyBytes, &data)) resp.body = std::move(data);
      resp.filePath.clear();
    }
    resp.body.resize(resp.body.size() / 2);
  }
  if (ctx.FindFault(FaultKind::kDrop)) resp.delivery = Delivery::kDropConnection;

  LoggedRequest entry = RequestLog::Describe(req, hostHeader, target);
  entry.status = resp.status;
  if (!note.empty())
    entry.note += (entry.note.empty() ? "" : "; ") + std::string("faults: ") + note;
  service_.log().Add(std::move(entry));
  return resp;
}

}  // namespace zerva::server
