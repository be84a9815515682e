// How fast zerva-server takes in video blocks: 4 senders on loopback posting NextVideoUpload
// requests of 256 KiB blocks (each checked by its MD5 on the server), beside one curl process
// posting the same kind of body alone.
//
//   build/release/bin/server_blocks_bench
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/elements.h"
#include "bench_support.h"
#include "platform/md5.h"
#include "server/accounts.h"
#include "server/server.h"

namespace {

using zerva::GetElement;
using zerva::GetElementInt;
using zerva::Md5Hex;

constexpr size_t kBlock = 262144;
constexpr const char* kBoundary = "----zervaBenchBoundary";

struct Env {
  std::string dataDir;
  std::unique_ptr<zerva::server::ZervaServer> server;
  std::string base;
  std::string pass = Md5Hex("bench");
};

Env& Shared() {
  static Env* env = [] {
    auto* e = new Env;
    e->dataDir = (std::filesystem::temp_directory_path() / "zerva-bench-XXXXXX").string();
    if (!::mkdtemp(e->dataDir.data())) std::abort();
    zerva::server::ServerOptions options;
    options.port = 0;
    options.dataDir = e->dataDir;
    e->server = std::make_unique<zerva::server::ZervaServer>(options);
    std::string error;
    if (!e->server->Init(&error) || !e->server->Start(&error)) {
      std::fprintf(stderr, "server: %s\n", error.c_str());
      std::abort();
    }
    auto& db = e->server->service().db();
    {
      auto lock = db.Lock();
      zerva::server::NewUser user;
      user.name = "bench";
      user.email = "bench@example.com";
      user.passMd5 = e->pass;
      const int64_t id = zerva::server::CreateUserRecord(db, user);
      db.Exec("UPDATE users SET quota = ? WHERE id = ?",
              {static_cast<long long>(1) << 40, static_cast<long long>(id)});
      db.Exec("INSERT INTO albums(user_id, server_dir, settings) VALUES(?, 'Bench', '')",
              {static_cast<long long>(id)});
    }
    e->base = "http://127.0.0.1:" + std::to_string(e->server->port()) + "/client14/command.php";
    // The server and its data folder go when the program ends.
    std::atexit([] {
      Env& done = Shared();
      done.server.reset();
      std::error_code ec;
      std::filesystem::remove_all(done.dataDir, ec);
    });
    return e;
  }();
  return *env;
}

size_t Collect(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

std::string Part(const std::string& name, const std::string& value,
                 const std::string& fileName = "") {
  return zerva::bench::MultipartPart(kBoundary, name, value, fileName);
}

// One sender: its own upload, its own keep-alive connection, the client's wire format.
class Sender {
 public:
  explicit Sender(int id) : curl_(curl_easy_init()) {
    Env& env = Shared();
    headers_ = curl_slist_append(
        nullptr, (std::string("Content-Type: multipart/form-data; boundary=") + kBoundary).c_str());
    headers_ = curl_slist_append(headers_, "Expect:");
    curl_easy_setopt(curl_, CURLOPT_URL, env.base.c_str());
    curl_easy_setopt(curl_, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers_);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &answer_);
    const std::string begin = "command=BeginVideoUpload&fileName=clip" + std::to_string(id) +
                              ".jpg&userName=bench&userPass=" + env.pass + "&directory=Bench&eof=1";
    Post(begin, false);
    uploadId_ = GetElementInt(GetElement(answer_, "value"), "uploadID");
  }
  ~Sender() {
    curl_slist_free_all(headers_);
    curl_easy_cleanup(curl_);
  }

  // A NextVideoUpload body with `count` fresh blocks, as the client builds it.
  std::string Body(int count, uint32_t seed) const {
    std::string blocks = "<blocks>";
    std::string files;
    for (int i = 0; i < count; ++i) {
      const std::string data =
          zerva::bench::NoiseBytes(kBlock, seed * 131 + static_cast<uint32_t>(i));
      blocks += " <block>\t <index>" + std::to_string(i) + "</index>\t <size>" +
                std::to_string(kBlock) + "</size>\t <md5>" + Md5Hex(data) + "</md5> </block>";
      files += Part("data" + std::to_string(i), data, "data" + std::to_string(i) + ".tmp");
    }
    blocks += "</blocks>";
    return Part("command", "NextVideoUpload") + Part("uploadID", std::to_string(uploadId_)) +
           Part("userName", "bench") + Part("userPass", Shared().pass) + Part("blocks", blocks) +
           files + Part("eof", "1") + "--" + kBoundary + "--\r\n";
  }

  // Posts and returns the number of blocks the server confirmed.
  size_t Post(const std::string& body, bool multipart = true) {
    answer_.clear();
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, multipart ? headers_ : nullptr);
    curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    if (curl_easy_perform(curl_) != CURLE_OK) return 0;
    return zerva::GetElements(GetElement(answer_, "blocks"), "block").size();
  }

 private:
  CURL* curl_;
  curl_slist* headers_ = nullptr;
  std::string answer_;
  int64_t uploadId_ = 0;
};

// Receiving blocks from concurrent senders; the argument is the blocks per request (the
// client sends 1 to 16).
void BM_ReceiveBlocks(benchmark::State& state) {
  const int perRequest = static_cast<int>(state.range(0));
  Sender sender(state.thread_index());
  const std::string body = sender.Body(perRequest, static_cast<uint32_t>(state.thread_index()));
  size_t confirmed = 0;
  for (auto _ : state) {
    confirmed += sender.Post(body);
  }
  if (confirmed != static_cast<size_t>(state.iterations()) * static_cast<size_t>(perRequest))
    state.SkipWithError("blocks were not confirmed");
  state.SetBytesProcessed(static_cast<int64_t>(confirmed * kBlock));
}
BENCHMARK(BM_ReceiveBlocks)->Arg(4)->Arg(16)->Threads(1)->Threads(4)->UseRealTime()->MinTime(3.0);

// The same kind of body (16 blocks, 4 MiB) posted by one curl process; the time is curl's
// own transfer time, so starting the process is not counted.
void BM_CurlSinglePost(benchmark::State& state) {
  Sender sender(100);
  const int blocks = static_cast<int>(state.range(0));
  const std::string body = sender.Body(blocks, 99);
  const std::string file = Shared().dataDir + "/curl-body.bin";
  std::ofstream(file, std::ios::binary) << body;
  const std::string command =
      "curl -s -o /dev/null --noproxy '*' -w '%{time_total}' -H 'Expect:' "
      "-H 'Content-Type: multipart/form-data; boundary=" +
      std::string(kBoundary) + "' --data-binary @" + file + " " + Shared().base;
  for (auto _ : state) {
    FILE* pipe = ::popen(command.c_str(), "r");
    double seconds = 0;
    if (!pipe || std::fscanf(pipe, "%lf", &seconds) != 1 || seconds <= 0) {
      if (pipe) ::pclose(pipe);
      state.SkipWithError("curl failed");
      return;
    }
    ::pclose(pipe);
    state.SetIterationTime(seconds);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * blocks *
                          static_cast<int64_t>(kBlock));
}
BENCHMARK(BM_CurlSinglePost)->Arg(16)->Arg(128)->UseManualTime()->MinTime(3.0);

}  // namespace
