// The test control endpoint under "/_zerva/", answered only to loopback clients: request log,
// stored mails, faults, tunable answers and service messages.
#pragma once

#include "server/request.h"
#include "server/service.h"

namespace zerva::server {

inline constexpr const char* kControlPrefix = "/_zerva/";

//   GET  /_zerva/log?since=N           the request log (RequestLog::Serialize)
//   POST /_zerva/log/clear
//   GET  /_zerva/mails?since=N         the stored mails (SerializeMails)
//   POST /_zerva/fault                 target, kind, count (1), value
//   POST /_zerva/refuse-block          md5, count (1)
//   POST /_zerva/faults/clear          faults, refused blocks and tunables back to defaults
//   POST /_zerva/config                name = uploadDelay | optimalNumThreads |
//                                      optimumRequestTime | message | messageError, value
//   POST /_zerva/quota                 user, bytes: the account's quota
//   GET  /_zerva/health
ServerResponse HandleControl(Service& service, const ServerRequest& req);

}  // namespace zerva::server
