// Sending an already converted video of 200 MB to a local zerva-server with the client's block
// upload (UploadVideoBlocks, up to 4 senders as the service asks), beside one curl process
// posting the same bytes to the same server in requests of the same kind (16 blocks of 256 KiB
// each, one keep-alive connection). Targets: the client reaches at least 0.8 of curl's
// throughput, and the CPU time of reading and digesting the file (the calling thread) stays under
// 15 % of the wall time.
//
//   build/release/bin/video_upload_bench [--size MB] [--server PATH] [--runs N]
//
// The routine's pause of 1 s before it opens the file (time for a background ffmpeg to create
// it) is left out of the timed run; the figure with it is shown as well.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/elements.h"
#include "app/version.h"
#include "bench_support.h"
#include "jobs/upload_video_blocks.h"
#include "jobs/video_blocks.h"
#include "net/endpoints.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "platform/md5.h"

namespace {

using namespace zerva;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ThreadCpu() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

constexpr const char* kBoundary = "----zervaVideoBench";

std::string Part(const std::string& name, const std::string& value,
                 const std::string& fileName = "") {
  return bench::MultipartPart(kBoundary, name, value, fileName);
}

struct Server {
  pid_t pid = -1;
  int port = 0;
};

Server StartServer(const std::string& binary, const std::string& work) {
  Server s;
  const std::string ready = work + "/ready";
  s.pid = ::fork();
  if (s.pid == 0) {
    const std::string log = work + "/server.log";
    std::freopen(log.c_str(), "w", stdout);
    std::freopen(log.c_str(), "a", stderr);
    const std::string data = work + "/service";
    ::execl(binary.c_str(), binary.c_str(), "--port", "0", "--data", data.c_str(), "--seed-demo",
            "--ready-file", ready.c_str(), static_cast<char*>(nullptr));
    std::_Exit(127);
  }
  for (int i = 0; i < 200 && s.port == 0; ++i) {
    std::ifstream in(ready);
    in >> s.port;
    if (s.port == 0) ::usleep(50000);
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  int sizeMb = 200;
  int runs = 2;
  std::string serverPath = std::filesystem::path(argv[0]).parent_path().string() + "/zerva-server";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--size") sizeMb = std::atoi(argv[i + 1]);
    if (arg == "--server") serverPath = argv[i + 1];
    if (arg == "--runs") runs = std::atoi(argv[i + 1]);
  }
  std::string work = (std::filesystem::temp_directory_path() / "zerva-vbench-XXXXXX").string();
  if (::mkdtemp(work.data()) == nullptr) return 2;

  const Server server = StartServer(serverPath, work);
  if (server.port == 0) {
    std::fprintf(stderr, "video_upload_bench: zerva-server did not start (%s)\n",
                 serverPath.c_str());
    return 2;
  }
  const std::string port = ":" + std::to_string(server.port);
  SetDomain(HostRoot::kService, "www.zerva.localhost" + port);
  SetDomain(HostRoot::kUpload, "api.zerva.localhost" + port);
  SetDomain(HostRoot::kDownload, "download.zerva.localhost" + port);
  auto manager = std::make_shared<CHttpMngr>();
  manager->SetClientName(kProductName);
  manager->SetClientVersion(kVersionText);
  manager->SetSystemProxyLookup([](const std::string&, std::string* proxy, std::string* user) {
    proxy->clear();
    user->clear();
    return true;
  });
  std::unique_ptr<CHttpConnect> connection = manager->GetConnection();
  const std::string user = "vip";  // the larger quota
  const std::string pass = Md5Hex("vip");
  const ApiResult album =
      connection->CreateAlbum(user, pass, "Bench", "<album><name>Bench</name></album>");
  if (!album.Ok()) {
    std::fprintf(stderr, "video_upload_bench: CreateAlbum: %s\n", album.message.c_str());
    return 2;
  }

  // The file: made once, random (a converted video does not compress either).
  const int64_t size = static_cast<int64_t>(sizeMb) << 20;
  const std::string path = work + "/clip.mp4";
  {
    std::ofstream out(path, std::ios::binary);
    for (int64_t done = 0; done < size; done += 4 << 20) {
      out << bench::NoiseBytes(static_cast<size_t>(std::min<int64_t>(4 << 20, size - done)),
                               static_cast<uint32_t>(done >> 20));
    }
  }

  // curl's requests: the same bytes, 16 blocks a request, one process, one connection, into an
  // upload of its own each run (ended afterwards, so the service assembles the same file).
  const std::string url = "http://127.0.0.1" + port + "/client14/command.php";
  BlockMap curlBlocks;
  auto prepareCurl = [&](const std::string& fileName) -> int64_t {
    const ApiResult begun = connection->BeginVideoUpload(fileName, user, pass, "Bench", false);
    const int64_t uploadId = GetElementInt(begun.value, "uploadID");
    curlBlocks.clear();
    std::ofstream config(work + "/curl.cfg");
    std::ifstream in(path, std::ios::binary);
    std::string chunk(static_cast<size_t>(16 * kVideoBlockSize), '\0');
    int index = 0;
    for (int request = 0; in; ++request) {
      in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      const size_t got = static_cast<size_t>(in.gcount());
      if (got == 0) break;
      std::string blocks = "<blocks>";
      std::string files;
      for (size_t off = 0; off < got; off += kVideoBlockSize, ++index) {
        const std::string data = chunk.substr(off, std::min<size_t>(kVideoBlockSize, got - off));
        const std::string md5 = Md5Hex(data);
        blocks += BlockDescription(index, static_cast<int64_t>(data.size()), md5);
        curlBlocks[index] = "\t <index>" + std::to_string(index) + "</index>\t <size>" +
                            std::to_string(data.size()) + "</size>\t <md5>" + md5 + "</md5> ";
        files += Part("data" + std::to_string(index), data, "data" + std::to_string(index));
      }
      const std::string body = Part("command", "NextVideoUpload") +
                               Part("uploadID", std::to_string(uploadId)) + Part("userName", user) +
                               Part("userPass", pass) + Part("blocks", blocks + "</blocks>") +
                               files + Part("eof", "1") + "--" + kBoundary + "--\r\n";
      const std::string bodyPath = work + "/body" + std::to_string(request);
      std::ofstream(bodyPath, std::ios::binary) << body;
      if (request > 0) config << "next\n";
      config << "url = \"" << url << "\"\nnoproxy = \"*\"\nsilent\noutput = \"/dev/null\"\n"
             << "header = \"Expect:\"\nheader = \"Content-Type: multipart/form-data; boundary="
             << kBoundary << "\"\ndata-binary = \"@" << bodyPath << "\"\n";
    }
    return uploadId;
  };

  std::printf("video_upload_bench: %d MiB, %d runs each, server on port %d\n", sizeMb, runs,
              server.port);
  double bestClient = 1e9, bestCurl = 1e9, cpuShare = 0, withPause = 0, endSeconds = 0;
  bool ok = true;
  for (int run = 0; run < runs; ++run) {
    const int64_t curlUpload = prepareCurl("curl" + std::to_string(run) + ".jpg");
    const std::string curlCommand = "curl -K '" + work + "/curl.cfg'";
    const double c0 = Now();
    if (std::system(curlCommand.c_str()) != 0) ok = false;
    const double curlSeconds = Now() - c0;
    // What assembling the file costs the service at the end of an upload.
    const double e0 = Now();
    const ApiResult ended = connection->EndVideoUpload(static_cast<int>(curlUpload), user, pass,
                                                       BlockListXml(curlBlocks), "", false);
    if (!ended.Ok()) std::fprintf(stderr, "curl's End: %s\n", ended.message.c_str());
    if (curlSeconds < bestCurl) {
      bestCurl = curlSeconds;
      endSeconds = Now() - e0;
    }

    VideoBlocksInput in;
    in.path = path;
    in.fileName = "clip" + std::to_string(run) + ".jpg";
    in.userName = user;
    in.userPass = pass;
    in.directory = "Bench";
    in.connections = manager;
    in.openPauseMs = 0;
    int64_t total = size;
    bool failed = false;
    const double t0 = Now();
    const double cpu0 = ThreadCpu();
    const ApiResult result = UploadVideoBlocks(in, *connection, &total, &failed);
    const double cpu = ThreadCpu() - cpu0;
    const double wall = Now() - t0;
    if (!result.Ok()) {
      std::fprintf(stderr, "video_upload_bench: upload failed: %s\n", result.message.c_str());
      ok = false;
      break;
    }
    if (wall < bestClient) {
      bestClient = wall;
      cpuShare = cpu / wall;
    }
  }
  withPause = bestClient + kVideoOpenPauseMs / 1000.0;
  const double mb = static_cast<double>(size) / 1e6;
  std::printf("  curl, 16 blocks a request, 1 connection: %7.3f s  %8.1f MB/s\n", bestCurl,
              mb / bestCurl);
  std::printf("  UploadVideoBlocks, up to 4 senders:      %7.3f s  %8.1f MB/s  (%.2f x curl)\n",
              bestClient, mb / bestClient, bestCurl / bestClient);
  std::printf("  curl and the service's assembly at End:  %7.3f s  %8.1f MB/s  (client %.2f x)\n",
              bestCurl + endSeconds, mb / (bestCurl + endSeconds),
              (bestCurl + endSeconds) / bestClient);
  std::printf("  with the 1 s pause before opening:       %7.3f s  %8.1f MB/s  (%.2f x curl)\n",
              withPause, mb / withPause, bestCurl / withPause);
  std::printf("  reading and MD5 on the calling thread:   %5.1f %% of the wall time\n",
              cpuShare * 100);
  const bool met = ok && bestCurl / bestClient >= 0.8 && cpuShare < 0.15;
  std::printf("  targets (>= 0.8 x curl, < 15 %% CPU): %s\n", met ? "met" : "MISSED");

  ::kill(server.pid, SIGTERM);
  ::waitpid(server.pid, nullptr, 0);
  std::error_code ec;
  std::filesystem::remove_all(work, ec);
  return met ? 0 : 1;
}
