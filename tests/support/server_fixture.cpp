#include "support/server_fixture.h"

#include <curl/curl.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/process.h"

namespace zerva::test {
namespace {

std::string Encode(const std::string& text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Decode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && Hex(text[i + 1]) >= 0 && Hex(text[i + 2]) >= 0) {
      out += static_cast<char>(Hex(text[i + 1]) * 16 + Hex(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> SplitSpaces(const std::string& line) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (true) {
    const size_t space = line.find(' ', pos);
    out.push_back(line.substr(pos, space == std::string::npos ? std::string::npos : space - pos));
    if (space == std::string::npos) break;
    pos = space + 1;
  }
  return out;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && ::strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

size_t Collect(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

size_t CollectHeader(char* data, size_t size, size_t count, void* user) {
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  const size_t colon = line.find(':');
  if (colon != std::string::npos) {
    std::string value = line.substr(colon + 1);
    const size_t start = value.find_first_not_of(' ');
    value = start == std::string::npos ? "" : value.substr(start);
    static_cast<Headers*>(user)->emplace_back(line.substr(0, colon), value);
  }
  return size * count;
}

HttpReply Perform(const std::string& url, bool post, const std::string& body,
                  const std::string& contentType, const std::string& host, const Headers& extra) {
  HttpReply reply;
  CURL* curl = curl_easy_init();
  if (!curl) {
    reply.error = "curl_easy_init failed";
    return reply;
  }
  char errorBuffer[CURL_ERROR_SIZE] = {0};
  curl_slist* headers = nullptr;
  if (!host.empty()) headers = curl_slist_append(headers, ("Host: " + host).c_str());
  if (post) headers = curl_slist_append(headers, ("Content-Type: " + contentType).c_str());
  headers = curl_slist_append(headers, "Expect:");
  for (const auto& [name, value] : extra) {
    headers = curl_slist_append(headers, (name + ": " + value).c_str());
  }
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  // Paths go out exactly as written, "/../" included.
  curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 120L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "zerva-test");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CollectHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &reply.headers);
  if (post) {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  }
  const CURLcode rc = curl_easy_perform(curl);
  if (rc == CURLE_OK) {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    char* type = nullptr;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
    if (type) reply.contentType = type;
  } else {
    reply.status = 0;
    reply.error = errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc);
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return reply;
}

}  // namespace

std::string HttpReply::Header(const std::string& name) const {
  for (const auto& [k, v] : headers) {
    if (SameName(k, name)) return v;
  }
  return {};
}

Form& Form::Add(const std::string& name, const std::string& value) {
  parts_.push_back(Part{name, value, false, ""});
  return *this;
}

Form& Form::Add(const std::string& name, int64_t value) {
  return Add(name, std::to_string(value));
}

Form& Form::AddFile(const std::string& name, const std::string& fileName,
                    const std::string& bytes) {
  parts_.push_back(Part{name, bytes, true, fileName});
  return *this;
}

bool Form::HasFile() const {
  for (const Part& p : parts_) {
    if (p.isFile) return true;
  }
  return false;
}

std::string Form::UrlEncoded() const {
  std::string out;
  for (const Part& p : parts_) {
    if (!out.empty()) out += '&';
    out += Encode(p.name) + "=" + Encode(p.value);
  }
  return out;
}

std::string Form::Multipart(const std::string& boundary) const {
  std::string out;
  for (const Part& p : parts_) {
    out += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + p.name + "\"";
    if (p.isFile) {
      out += "; filename=\"" + p.fileName + "\"\r\nContent-Type: application/octet-stream";
    }
    out += "\r\n\r\n" + p.value + "\r\n";
  }
  out += "--" + boundary + "--\r\n";
  return out;
}

std::string LoggedRequest::Path() const {
  return target.substr(0, target.find('?'));
}

std::string LoggedRequest::Script() const {
  const std::string path = Path();
  return path.substr(path.find_last_of('/') + 1);
}

std::string LoggedRequest::Command() const {
  return Field("command");
}

const LoggedField* LoggedRequest::Find(const std::string& name) const {
  for (const LoggedField& f : fields) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

std::string LoggedRequest::Field(const std::string& name) const {
  const LoggedField* f = Find(name);
  return f ? f->value : std::string();
}

std::vector<std::string> LoggedRequest::FieldNames() const {
  std::vector<std::string> names;
  for (const LoggedField& f : fields) names.push_back(f.name);
  return names;
}

std::string LoggedRequest::Header(const std::string& name) const {
  for (const auto& [k, v] : headers) {
    if (SameName(k, name)) return v;
  }
  return {};
}

ServerFixture::ServerFixture() : ServerFixture(Options()) {}

ServerFixture::ServerFixture(Options options)
    : options_(std::move(options)), data_(std::make_unique<TempDir>()) {}

ServerFixture::~ServerFixture() {
  Stop();
}

bool ServerFixture::Start(std::string* error) {
  std::string ignored;
  if (!error) error = &ignored;
  if (pid_ > 0) return true;
  if (std::getenv("ZERVA_UNIT_TEST") != nullptr) {
    // Unit tests run in a minute because they start nothing; the labels are kept honest here.
    *error =
        "a test labelled unit starts zerva-server: list its suite among the service suites "
        "of tests/label_tests.cmake";
    return false;
  }
  const std::string binary = std::string(ZERVA_BIN_DIR) + "/zerva-server";
  const std::string readyFile = data_->Path() + "ready";
  const std::string logFile = data_->Path() + "server.log";
  std::vector<std::string> args = {
      binary,          "--port",       "0",      "--data", data_->Path() + "data", "--domain",
      options_.domain, "--ready-file", readyFile};
  if (options_.seedDemo) args.push_back("--seed-demo");
  args.insert(args.end(), options_.extraArgs.begin(), options_.extraArgs.end());
  std::remove(readyFile.c_str());  // left by an earlier run on the same data folder
  pid_ = SpawnLogged(args, logFile);
  if (pid_ <= 0) {
    pid_ = -1;
    *error = "cannot start " + binary;
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      *error = "zerva-server exited at start:\n" + ServerLog();
      return false;
    }
    std::ifstream ready(readyFile);
    int port = 0;
    if (ready >> port && port > 0) {
      port_ = port;
      if (Get("/_zerva/health").status == 200) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  *error = "zerva-server did not become ready:\n" + ServerLog();
  Stop();
  return false;
}

int ServerFixture::Stop() {
  if (pid_ <= 0) return -1;
  const int status = StopProcess(pid_, 15);
  pid_ = -1;
  return status;
}

std::string ServerFixture::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

std::string ServerFixture::UploadRoot() const {
  return "127.0.0.1:" + std::to_string(port_) + "/";
}

std::string ServerFixture::HostFor(const std::string& label) const {
  return (label.empty() ? options_.domain : label + "." + options_.domain) + ":" +
         std::to_string(port_);
}

std::string ServerFixture::ServerLog() const {
  return ReadWholeFile(data_->Path() + "server.log");
}

HttpReply ServerFixture::Get(const std::string& path, const std::string& host) const {
  return Perform("http://127.0.0.1:" + std::to_string(port_) + path, false, "", "", host, {});
}

HttpReply ServerFixture::Post(const std::string& path, const Form& form,
                              const std::string& host) const {
  if (form.HasFile()) {
    const std::string boundary = "----zervaTestBoundary7MA4YWxkTrZu0gW";
    return PostRaw(path, form.Multipart(boundary), "multipart/form-data; boundary=" + boundary,
                   host);
  }
  return PostRaw(path, form.UrlEncoded(), "application/x-www-form-urlencoded", host);
}

HttpReply ServerFixture::PostRaw(const std::string& path, const std::string& body,
                                 const std::string& contentType, const std::string& host,
                                 const Headers& extra) const {
  return Perform("http://127.0.0.1:" + std::to_string(port_) + path, true, body, contentType, host,
                 extra);
}

HttpReply ServerFixture::Api(const std::string& script, const Form& form) const {
  return Post("/client14/" + script, form);
}

HttpReply ServerFixture::Command(const std::string& command, const std::string& user,
                                 const std::string& pass, const Form& fields) const {
  Form form;
  form.Add("command", command).Add("userName", user).Add("userPass", pass);
  for (const Form::Part& p : fields.parts()) {
    if (p.isFile) {
      form.AddFile(p.name, p.fileName, p.value);
    } else {
      form.Add(p.name, p.value);
    }
  }
  form.Eof();
  return Api("command.php", form);
}

std::vector<LoggedRequest> ServerFixture::Log(int64_t since) const {
  std::vector<LoggedRequest> out;
  const HttpReply reply = Get("/_zerva/log?since=" + std::to_string(since));
  std::istringstream lines(reply.body);
  std::string line;
  while (std::getline(lines, line)) {
    const std::vector<std::string> t = SplitSpaces(line);
    if (t[0] == "request" && t.size() >= 7) {
      LoggedRequest r;
      r.seq = std::stoll(t[1]);
      r.method = Decode(t[2]);
      r.host = Decode(t[3]);
      r.target = Decode(t[4]);
      r.status = std::stoi(t[5]);
      r.note = Decode(t[6]);
      out.push_back(std::move(r));
    } else if (out.empty()) {
      continue;
    } else if (t[0] == "header" && t.size() >= 3) {
      out.back().headers.emplace_back(Decode(t[1]), Decode(t[2]));
    } else if (t[0] == "field" && t.size() >= 4) {
      LoggedField f;
      f.name = Decode(t[1]);
      f.value = Decode(t[2]);
      f.size = std::stoll(t[3]);
      out.back().fields.push_back(std::move(f));
    } else if (t[0] == "file" && t.size() >= 5) {
      LoggedField f;
      f.isFile = true;
      f.name = Decode(t[1]);
      f.fileName = Decode(t[2]);
      f.size = std::stoll(t[3]);
      f.md5 = t[4];
      out.back().fields.push_back(std::move(f));
    }
  }
  return out;
}

std::vector<LoggedRequest> ServerFixture::LogOf(const std::string& scriptOrCommand) const {
  std::vector<LoggedRequest> out;
  for (LoggedRequest& r : Log()) {
    if (r.Script() == scriptOrCommand || r.Command() == scriptOrCommand)
      out.push_back(std::move(r));
  }
  return out;
}

std::vector<StoredMail> ServerFixture::Mails(int64_t since) const {
  std::vector<StoredMail> out;
  const HttpReply reply = Get("/_zerva/mails?since=" + std::to_string(since));
  std::istringstream lines(reply.body);
  std::string line;
  while (std::getline(lines, line)) {
    const std::vector<std::string> t = SplitSpaces(line);
    if (t.size() < 11 || t[0] != "mail") continue;
    StoredMail mail;
    mail.id = std::stoll(t[1]);
    mail.kind = Decode(t[2]);
    mail.userId = std::stoll(t[3]);
    mail.userName = Decode(t[4]);
    mail.albumId = std::stoll(t[5]);
    mail.from = Decode(t[6]);
    mail.to = Decode(t[7]);
    mail.subject = Decode(t[8]);
    mail.message = Decode(t[9]);
    mail.created = Decode(t[10]);
    out.push_back(std::move(mail));
  }
  return out;
}

bool ServerFixture::ClearLog() const {
  return PostRaw("/_zerva/log/clear", "", "application/x-www-form-urlencoded").status == 200;
}

bool ServerFixture::InjectFault(const std::string& target, const std::string& kind, int count,
                                const std::string& value) const {
  Form form;
  form.Add("target", target).Add("kind", kind).Add("count", count).Add("value", value);
  return Post("/_zerva/fault", form).status == 200;
}

bool ServerFixture::SetConfig(const std::string& name, const std::string& value) const {
  Form form;
  form.Add("name", name).Add("value", value);
  return Post("/_zerva/config", form).status == 200;
}

bool ServerFixture::RefuseBlock(const std::string& md5, int count) const {
  Form form;
  form.Add("md5", md5).Add("count", count);
  return Post("/_zerva/refuse-block", form).status == 200;
}

bool ServerFixture::ClearFaults() const {
  return PostRaw("/_zerva/faults/clear", "", "application/x-www-form-urlencoded").status == 200;
}

int64_t ServerFixture::CreateTestUser(const std::string& prefix, std::string* name) const {
  static std::atomic<int> count{0};
  *name = prefix + std::to_string(::getpid()) + "n" + std::to_string(++count);
  return CreateUser(*name, *name + "@example.com", "secret");
}

int64_t ServerFixture::CreateUser(const std::string& name, const std::string& email,
                                  const std::string& password) const {
  Form form;
  form.Add("userName", name)
      .Add("email", email)
      .Add("password", password)
      .Add("userLang", 1033)
      .Eof();
  const HttpReply reply = Api("createUser.php", form);
  const size_t open = reply.body.find("<userID>");
  const size_t close = reply.body.find("</userID>");
  if (reply.body.find("<code>0</code>") == std::string::npos || open == std::string::npos ||
      close == std::string::npos)
    return 0;
  return std::stoll(reply.body.substr(open + 8, close - open - 8));
}

}  // namespace zerva::test
