#include "album_on_service.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/elements.h"
#include "platform/fs.h"
#include "platform/md5.h"

namespace zerva::test {

TestAccount NewTestAccount(const ServerFixture& server, const std::string& prefix) {
  TestAccount account;
  account.id = server.CreateTestUser(prefix, &account.name);
  return account;
}

std::vector<std::string> AlbumsOf(const ServerFixture& server, const TestAccount& account) {
  const HttpReply reply =
      server.Command("GetAlbums", account.name, Md5Hex("secret"),
                     Form().Add("userID", account.id).Add("albumID", int64_t{0}));
  return GetElements(GetElement(reply.body, "value"), "album");
}

std::vector<std::string> ItemNamesOf(const ServerFixture& server, const TestAccount& account,
                                     const std::string& album) {
  const HttpReply reply =
      server.Command("GetAlbumPhotos", account.name, Md5Hex("secret"),
                     Form().Add("userID", account.id).Add("albumID", GetElement(album, "albumID")));
  std::vector<std::string> names;
  for (const std::string& photo : GetElements(GetElement(reply.body, "value"), "photo")) {
    names.push_back(GetElement(photo, "fileName"));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string StoredPath(const ServerFixture& server, const TestAccount& account,
                       const std::string& relative) {
  return server.DataDir() + "data/files/" + std::to_string(account.id) + "/" + relative;
}

StoredFiles StoredFilesOf(const ServerFixture& server, const TestAccount& account) {
  StoredFiles files;
  const std::string root = StoredPath(server, account, "");
  if (!DirectoryExists(root)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string();
    files[path.substr(root.size())] = StoredFile{FileSize(path), Md5HexOfFile(path)};
  }
  return files;
}

int DecodedFrames(const std::string& path, std::string* complaint) {
  // Its complaints come in the same stream, so anything but the bare count is one.
  const std::string command =
      "ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames "
      "-of csv=p=0 '" +
      path + "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  std::string output;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = ::pclose(pipe);
  while (!output.empty() && (output.back() == '\n' || output.back() == ',')) output.pop_back();
  const bool bareCount =
      !output.empty() && output.size() < 10 &&
      std::all_of(output.begin(), output.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (status != 0 || !bareCount) {
    *complaint = output;
    return -1;
  }
  complaint->clear();
  return std::atoi(output.c_str());
}

}  // namespace zerva::test
