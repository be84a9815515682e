#include "server/router.h"

#include "server/answers.h"

namespace zerva::server {
namespace {

constexpr const char* kApiPrefix = "/client14/";

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

HostInfo ClassifyHost(const std::string& host, const std::string& domain) {
  HostInfo info;
  if (host == domain || host == "www." + domain) {
    info.roots = {Root::kService};
  } else if (host == "api." + domain) {
    info.roots = {Root::kUpload};
  } else if (host == "download." + domain) {
    info.roots = {Root::kDownload};
  } else if (host == "alba." + domain) {
    info.roots = {Root::kCategories};
  } else if (EndsWith(host, "." + domain) && host.find('.') == host.size() - domain.size() - 1) {
    info.roots = {Root::kUserSite};
    info.user = host.substr(0, host.size() - domain.size() - 1);
  } else {
    info.roots = {Root::kUpload, Root::kService};
  }
  return info;
}

void Router::AddScript(const std::string& script, Handler handler, bool needsFields) {
  scripts_[script] = Script{std::move(handler), needsFields};
}

void Router::AddCommand(const std::string& command, Handler handler) {
  commands_[command] = std::move(handler);
}

void Router::AddPage(Root root, const std::string& prefix, Handler handler) {
  pages_[root][prefix] = std::move(handler);
}

Router::Match Router::Resolve(const ServerRequest& req, const std::string& domain) const {
  Match m;
  const std::string bare = req.path.size() > 1 ? req.path.substr(1) : std::string();
  const size_t slash = req.path.find_last_of('/');
  const std::string last = req.path.substr(slash + 1);
  m.keys = {bare};
  if (!last.empty() && last != bare) m.keys.push_back(last);

  const HostInfo host = ClassifyHost(req.host, domain);
  m.siteUser = host.user;
  for (Root root : host.roots) {
    if (root == Root::kUpload && req.path.rfind(kApiPrefix, 0) == 0) {
      std::string script = req.path.substr(std::string(kApiPrefix).size());
      if (script.rfind("lang/", 0) == 0) script = "lang/";
      auto it = scripts_.find(script);
      if (it == scripts_.end()) continue;
      m.handler = &it->second.handler;
      m.needsFields = it->second.needsFields;
      if (script == "command.php") {
        const std::string command = req.Field("command");
        m.keys.push_back(command);
        auto c = commands_.find(command);
        if (c != commands_.end()) m.handler = &c->second;
      }
      return m;
    }
    auto pages = pages_.find(root);
    if (pages == pages_.end()) continue;
    const Handler* best = nullptr;
    size_t bestLength = 0;
    for (const auto& [prefix, handler] : pages->second) {
      if (req.path.rfind(prefix, 0) == 0 && (best == nullptr || prefix.size() > bestLength)) {
        best = &handler;
        bestLength = prefix.size();
      }
    }
    if (best) {
      m.handler = best;
      return m;
    }
  }
  return m;
}

}  // namespace zerva::server
