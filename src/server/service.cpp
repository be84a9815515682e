#include "server/service.h"

#include "server/names.h"
#include "server/schema.h"

namespace zerva::server {

Service::Service(ServerOptions options)
    : options_(std::move(options)), storage_(options_.dataDir), port_(options_.port) {}

bool Service::Init(std::string* error) {
  if (!storage_.Prepare(error)) return false;
  if (!db_.Open(storage_.Root() + "zerva.db", error)) return false;
  return CreateSchema(db_, error);
}

std::string Service::HostName(const std::string& label) const {
  std::string host = label.empty() ? options_.domain : label + "." + options_.domain;
  const int p = options_.publicPort != 0 ? options_.publicPort : port_.load();
  const int schemeDefault = options_.publicScheme == "https" ? 443 : 80;
  if (p != schemeDefault) host += ":" + std::to_string(p);
  return host;
}

std::string Service::ServiceRootUrl() const {
  return options_.publicScheme + "://" + HostName("www") + "/";
}

std::string Service::UserSiteUrl(const std::string& user) const {
  return options_.publicScheme + "://" + HostName(ToLower(user)) + "/";
}

std::string Service::AlbumUrl(const std::string& user, const std::string& serverDir) const {
  return UserSiteUrl(user) + serverDir + "/";
}

const Fault* ScriptContext::FindFault(FaultKind kind) const {
  for (const Fault& f : faults) {
    if (f.kind == kind) return &f;
  }
  return nullptr;
}

}  // namespace zerva::server
