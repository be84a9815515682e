// Albums put on zerva-server the way an upload leaves them: created with a cover photo, the photo
// sent to "images" and "thumb", and the upload marked finished unless the test wants it
// interrupted. The page tests and the window tests list them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/elements.h"
#include "platform/md5.h"
#include "support/server_fixture.h"

namespace zerva::test {

struct SeededAlbum {
  std::string name;
  std::string serverDir;
  // The cover photo's file name (unique, so that a fault can aim at it); empty: no cover.
  std::string cover;
  std::string jpeg;  // the cover's bytes
  bool finished = true;
  bool hidden = false;
  bool secure = false;
  std::string localPath;
  std::string desc;
  std::string password = "secret";  // the owner's
};

// The album's identifier on the service; 0 on failure (the test fails too).
inline int SeedAlbum(const ServerFixture& server, const std::string& user,
                     const SeededAlbum& album) {
  const std::string digest = Md5Hex(album.password);
  const std::string setting =
      "<album>\t<albumID>0</albumID>\t<name>" + album.name + "</name>\t<desc>" + album.desc +
      "</desc>\t<localPath>" + album.localPath + "</localPath>\t<serverDir>" + album.serverDir +
      "</serverDir>\t<albumVisible>" + (album.hidden ? "0" : "1") + "</albumVisible>" +
      "\t<albumSecure>" + (album.secure ? "1" : "0") + "</albumSecure>\t<albumSecureName>" +
      (album.secure ? "guest" : "") + "</albumSecureName>\t<albumSecurePass>" +
      (album.secure ? "pass" : "") + "</albumSecurePass>\t<thumbName>" + album.cover +
      "</thumbName>\t<photos>\n</photos></album>";
  Form create;
  create.Add("serverDir", album.serverDir).Add("albumSetting", setting);
  const HttpReply created = server.Command("CreateAlbum", user, digest, create);
  const int albumId = static_cast<int>(GetElementInt(created.body, "value"));
  EXPECT_GT(albumId, 0) << created.body;
  if (albumId <= 0) return 0;
  if (!album.cover.empty()) {
    const std::string photo = "<photo>\t<photoID>-1</photoID>\t<name>" + album.cover +
                              "</name>\t<fileName>" + album.cover +
                              "</fileName>\t<type>photo</type></photo>\n";
    for (const char* sub : {"images", "thumb"}) {
      Form upload;
      upload.Add("userName", user)
          .Add("userPass", digest)
          .Add("directory", album.serverDir + "/" + sub)
          .Add("albumID", albumId)
          .Add("setting", photo)
          .AddFile("soubor", album.cover, album.jpeg)
          .Eof();
      const HttpReply sent = server.Api("upload.php", upload);
      EXPECT_EQ(GetElement(sent.body, "result"), "OK") << sent.body;
    }
  }
  if (album.finished) {
    Form finish;
    finish.Add("albumID", albumId).Add("uploading", 0);
    const HttpReply done = server.Command("SetAlbumUploading", user, digest, finish);
    EXPECT_EQ(GetElement(done.body, "result"), "OK") << done.body;
  }
  return albumId;
}

}  // namespace zerva::test
