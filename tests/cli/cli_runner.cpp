#include "cli_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>
#include <utility>

#include "app/elements.h"
#include "platform/md5.h"
#include "support/process.h"

namespace zerva::test {
namespace {

// A hard link keeps the copy's own path (the program folder is the executable's folder) and
// costs nothing; a copy does when the build folder is elsewhere.
void Install(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::create_hard_link(from, to, error);
  if (error) std::filesystem::copy_file(from, to, error);
}

}  // namespace

CliInstall::CliInstall(const std::string& domain) {
  const std::string bin = std::string(ZERVA_BIN_DIR) + "/";
  Install(bin + "zerva-cli", Executable());
  for (const char* lang : {"zerva-en-us.lng", "zerva-cs.lng"}) {
    Install(bin + lang, folder_.Path() + lang);
  }
  if (!domain.empty()) folder_.Write("zerva_proxy_setting.ini", "Domain=" + domain + "\n");
}

pid_t CliInstall::Start(const std::vector<std::string>& args, const std::string& logFile) const {
  std::vector<std::string> argv = {Executable()};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::string home = home_.Path();
  const std::vector<std::pair<const char*, std::string>> env = {
      {"XDG_CACHE_HOME", home + "cache"}, {"XDG_CONFIG_HOME", home + "config"}, {"HOME", home}};
  // The child inherits the environment at the spawn; ours is put back right after.
  std::vector<std::pair<const char*, std::optional<std::string>>> saved;
  for (const auto& [name, value] : env) {
    const char* old = std::getenv(name);
    saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name, value.c_str(), 1);
  }
  const pid_t pid = SpawnLogged(argv, logFile);
  for (const auto& [name, value] : saved) {
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  return pid;
}

std::string CliInstall::TraceLog() const {
  return ReadWholeFile(home_.Path() + "cache/zerva/zerva.localhost/trace.log");
}

std::string CliInstall::SettingsText() const {
  return ReadWholeFile(home_.Path() + "config/zerva/zerva.conf");
}

CliRun CliInstall::Run(const std::vector<std::string>& args, CliStdin stdinKind,
                       const std::string& input, int timeoutSeconds) const {
  CliRun run;
  // Everything the child needs is made before fork: only async-signal-safe calls follow it.
  std::vector<std::string> argStrings = {Executable()};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings = {
      "XDG_CACHE_HOME=" + home_.Path() + "cache", "XDG_CONFIG_HOME=" + home_.Path() + "config",
      "HOME=" + home_.Path(), "PATH=/usr/bin:/bin", "LANG=C.UTF-8"};
  std::vector<char*> envp;
  for (std::string& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string outPath = home_.Path() + "stdout";
  const std::string errPath = home_.Path() + "stderr";
  const std::string inPath = home_.Path() + "stdin";
  if (stdinKind == CliStdin::kText) home_.Write("stdin", input);

  const pid_t pid = ::fork();
  if (pid == 0) {
    if (stdinKind == CliStdin::kClosed) {
      ::close(STDIN_FILENO);
    } else {
      const int in = ::open(stdinKind == CliStdin::kText ? inPath.c_str() : "/dev/null", O_RDONLY);
      ::dup2(in, STDIN_FILENO);
    }
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  if (pid < 0) return run;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      run.timedOut = true;
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!run.timedOut && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  run.out = ReadWholeFile(outPath);
  run.err = ReadWholeFile(errPath);
  return run;
}

std::string NewAccount(const ServerFixture& server, const std::string& prefix) {
  std::string name;
  return server.CreateTestUser(prefix, &name) > 0 ? name : std::string();
}

std::string CreateAlbum(const ServerFixture& server, const std::string& user,
                        const std::string& name, const std::string& serverDir) {
  Form form;
  form.Add("serverDir", serverDir).Add("albumSetting", "<album><name>" + name + "</name></album>");
  const HttpReply reply = server.Command("CreateAlbum", user, Md5Hex("secret"), form);
  return GetElement(reply.body, "value");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void CliProcessTest::SetUp() {
  SharedServerTest::SetUp();
  cli_ = std::make_unique<CliInstall>(Server().UploadRoot());
  user_ = NewAccount(Server(), "cli");
  albumIds_ = {CreateAlbum(Server(), user_, "Summer in the mountains", "Summer"),
               CreateAlbum(Server(), user_, "By the sea", "Sea")};
  Server().ClearLog();
}

CliRun CliProcessTest::User(std::vector<std::string> args, CliStdin in, const std::string& input) {
  args.insert(args.begin(), {"-usr", user_, "-pwd", "secret"});
  return cli_->Run(args, in, input);
}

}  // namespace zerva::test
