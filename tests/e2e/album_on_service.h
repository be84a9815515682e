// What an account holds on a running zerva-server, read back for the whole-program tests: its
// albums and items through the service's commands, its stored files straight from the data
// folder, and whether a stored video decodes to the end.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/server_fixture.h"

namespace zerva::test {

struct TestAccount {
  std::string name;  // the password is "secret"
  int64_t id = 0;
};
// A new account "<prefix><pid>n<count>"; id 0 when the service refused it.
TestAccount NewTestAccount(const ServerFixture& server, const std::string& prefix);

// The account's albums as GetAlbums lists them.
std::vector<std::string> AlbumsOf(const ServerFixture& server, const TestAccount& account);
// The file names of an album's items, sorted.
std::vector<std::string> ItemNamesOf(const ServerFixture& server, const TestAccount& account,
                                     const std::string& album);

struct StoredFile {
  int64_t size = 0;
  std::string md5;
};
// Every file stored for the account, by its path below the account's folder.
using StoredFiles = std::map<std::string, StoredFile>;
StoredFiles StoredFilesOf(const ServerFixture& server, const TestAccount& account);
std::string StoredPath(const ServerFixture& server, const TestAccount& account,
                       const std::string& relative);

// The number of frames ffprobe decodes from the first video stream; -1 when it fails or
// complains, with its complaint.
int DecodedFrames(const std::string& path, std::string* complaint);

}  // namespace zerva::test
