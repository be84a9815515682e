// A running zerva-server for a test: started on a free loopback port with a fresh data folder,
// stopped at the end. Talks to it over HTTP only, so any test program can use it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace zerva::test {

using Headers = std::vector<std::pair<std::string, std::string>>;

struct HttpReply {
  long status = 0;  // 0 when the transfer failed
  std::string contentType;
  std::string body;
  Headers headers;
  std::string error;                                  // libcurl's text when the transfer failed
  std::string Header(const std::string& name) const;  // case-insensitive, first match
};

// Form fields in the order they are added; the wire format the client uses.
class Form {
 public:
  struct Part {
    std::string name;
    std::string value;
    bool isFile = false;
    std::string fileName;
  };
  Form& Add(const std::string& name, const std::string& value);
  Form& Add(const std::string& name, int64_t value);
  Form& AddFile(const std::string& name, const std::string& fileName, const std::string& bytes);
  // The final "eof" = "1" field that marks a complete body.
  Form& Eof() { return Add("eof", "1"); }
  bool HasFile() const;
  const std::vector<Part>& parts() const { return parts_; }
  std::string UrlEncoded() const;
  std::string Multipart(const std::string& boundary) const;

 private:
  std::vector<Part> parts_;
};

struct LoggedField {
  std::string name;
  std::string value;  // text fields (cut at 1 MiB by the server)
  bool isFile = false;
  std::string fileName;
  int64_t size = 0;
  std::string md5;  // file parts
};

struct LoggedRequest {
  int64_t seq = 0;
  std::string method;
  std::string host;    // Host header as sent
  std::string target;  // path and query as sent
  int status = 0;
  std::string note;  // faults applied, body errors
  Headers headers;
  std::vector<LoggedField> fields;

  std::string Path() const;     // target without the query
  std::string Script() const;   // last path component ("command.php")
  std::string Command() const;  // the "command" field
  std::string Field(const std::string& name) const;
  const LoggedField* Find(const std::string& name) const;
  std::vector<std::string> FieldNames() const;
  std::string Header(const std::string& name) const;
};

// A mail the service stored instead of sending it.
struct StoredMail {
  int64_t id = 0;
  std::string kind;  // "album" (SendEmail), "password" (the web page's reset)
  int64_t userId = 0;
  std::string userName;
  int64_t albumId = 0;  // the user's album whose address the text holds; 0: none
  std::string from;
  std::string to;  // the recipients joined by ";"
  std::string subject;
  std::string message;
  std::string created;
};

class ServerFixture {
 public:
  struct Options {
    bool seedDemo = false;
    std::string domain = "zerva.localhost";
    std::vector<std::string> extraArgs;
  };
  ServerFixture();
  explicit ServerFixture(Options options);
  ~ServerFixture();
  ServerFixture(const ServerFixture&) = delete;
  ServerFixture& operator=(const ServerFixture&) = delete;

  // Starts the built zerva-server and waits until it answers; false with `error` otherwise.
  bool Start(std::string* error = nullptr);
  // SIGTERM, then SIGKILL after 15 s; returns the exit status (-1 when killed or not running).
  int Stop();
  bool Running() const { return pid_ > 0; }

  int Port() const { return port_; }
  const std::string& Domain() const { return options_.domain; }
  std::string DataDir() const { return data_->Path(); }
  std::string BaseUrl() const;                          // http://127.0.0.1:PORT/
  std::string UploadRoot() const;                       // 127.0.0.1:PORT/  (the ini file's Domain)
  std::string HostFor(const std::string& label) const;  // "<label>.<domain>:PORT"
  std::string ServerLog() const;  // what the process wrote to stdout and stderr

  // HTTP against the server. `path` starts with "/"; `host` overrides the Host header.
  HttpReply Get(const std::string& path, const std::string& host = "") const;
  HttpReply Post(const std::string& path, const Form& form, const std::string& host = "") const;
  HttpReply PostRaw(const std::string& path, const std::string& body,
                    const std::string& contentType, const std::string& host = "",
                    const Headers& extra = {}) const;
  // POST client14/<script>: form fields as given (the caller ends them with Eof()).
  HttpReply Api(const std::string& script, const Form& form) const;
  // POST client14/command.php with command first, then the user's name and digest, then
  // `fields`, then eof.
  HttpReply Command(const std::string& command, const std::string& user, const std::string& pass,
                    const Form& fields = Form()) const;

  // The request log and the fault controls.
  std::vector<LoggedRequest> Log(int64_t since = 0) const;
  std::vector<LoggedRequest> LogOf(const std::string& scriptOrCommand) const;
  bool ClearLog() const;
  // The mails stored since the one numbered `since`, oldest first.
  std::vector<StoredMail> Mails(int64_t since = 0) const;
  bool InjectFault(const std::string& target, const std::string& kind, int count = 1,
                   const std::string& value = "") const;
  bool SetConfig(const std::string& name, const std::string& value) const;
  bool RefuseBlock(const std::string& md5, int count = 1) const;
  bool ClearFaults() const;

  // Creates an account with CreateUser; returns its userID (0 on failure).
  int64_t CreateUser(const std::string& name, const std::string& email,
                     const std::string& password) const;
  // A new account "<prefix><pid>n<count>" (unique across the tests of every process), with the
  // e-mail "<name>@example.com" and the password "secret"; its name goes to `name`. Returns its
  // userID (0 on failure).
  int64_t CreateTestUser(const std::string& prefix, std::string* name) const;

 private:
  Options options_;
  std::unique_ptr<TempDir> data_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace zerva::test
