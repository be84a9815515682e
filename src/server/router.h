// Which handler answers a request: the host names the root (service, upload, download, a
// user's site, the category listing), the path the script or page.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "server/service.h"

namespace zerva::server {

enum class Root { kUpload, kService, kDownload, kUserSite, kCategories };

struct HostInfo {
  std::vector<Root> roots;  // tried in order
  std::string user;         // for kUserSite
};

// "www.<domain>" and "<domain>": service; "api.": upload; "download.": download; "alba.":
// category listing; any other single label: that user's site. Any other host (127.0.0.1,
// localhost, an IP address) serves the upload root and the service root together, so a client
// pointed at a plain address reaches everything.
HostInfo ClassifyHost(const std::string& host, const std::string& domain);

using Handler = std::function<ServerResponse(ScriptContext&)>;

class Router {
 public:
  // client14/<script> on the upload root. With `needsFields` the body must carry form fields
  // ending with "eof" = "1".
  void AddScript(const std::string& script, Handler handler, bool needsFields = true);
  // client14/command.php with the field command = <name>.
  void AddCommand(const std::string& command, Handler handler);
  // Every path starting with `prefix` on that root; the longest prefix wins.
  void AddPage(Root root, const std::string& prefix, Handler handler);

  struct Match {
    const Handler* handler = nullptr;  // null: nothing answers this path
    bool needsFields = false;
    std::vector<std::string> keys;  // names for the fault table
    std::string siteUser;
  };
  Match Resolve(const ServerRequest& req, const std::string& domain) const;

 private:
  struct Script {
    Handler handler;
    bool needsFields = true;
  };
  std::map<std::string, Script> scripts_;
  std::map<std::string, Handler> commands_;
  std::map<Root, std::map<std::string, Handler>> pages_;
  Handler unknownCommand_;
};

}  // namespace zerva::server
