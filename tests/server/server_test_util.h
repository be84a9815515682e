// Shared steps of the server tests: a started server with one account.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/elements.h"
#include "platform/md5.h"
#include "support/server_fixture.h"

namespace zerva::test {

// Photo XML as the client writes it (one <photo> element and a line feed).
inline std::string PhotoXml(const std::string& fileName, const std::string& name, int index,
                            const std::string& type = "photo", const std::string& extra = "") {
  return "<photo>\t<photoID>-1</photoID>\t<name>" + name + "</name>\t<desc></desc>\t<fileName>" +
         fileName +
         "</fileName>\t<autorID></autorID>\t<fileSize>0</fileSize>\t<fileSizeOriginal>0"
         "</fileSizeOriginal>\t<width>800</width>\t<height>600</height>\t<index>" +
         std::to_string(index) +
         "</index>\t<exif></exif>\t<GPS></GPS>\t<public>1</public>"
         "\t<rotate>0</rotate>\t<OriginalCode>1700000000</OriginalCode>\t<fileFullName>C:/photos/" +
         fileName + "</fileFullName>\t<type>" + type + "</type>\t<isVideo>" +
         (type == "video" ? "1" : "0") +
         "</isVideo>\t<isHdPhoto>0</isHdPhoto>\t<hasWatermark>0"
         "</hasWatermark>" +
         extra + "</photo>\n";
}

// Album XML as the client writes it, with the given photo elements.
inline std::string AlbumXml(const std::string& name, const std::string& serverDir,
                            const std::string& photos, const std::string& extra = "") {
  return "<album>\t<albumID>0</albumID>\t<name>" + name + "</name>\t<desc>About " + name +
         "</desc>\t<create></create>\t<expiration></expiration>\t<autorID></autorID>\t<size>"
         "</size>\t<localPath>C:/photos</localPath>\t<photoCount>0</photoCount>\t<serverDir>" +
         serverDir +
         "</serverDir>\t<maxSizeImage>1200</maxSizeImage>\t<maxSizeThumb>100"
         "</maxSizeThumb>\t<albumVisible>1</albumVisible>\t<albumSecure>0</albumSecure>"
         "\t<albumSecureName></albumSecureName>\t<albumSecurePass></albumSecurePass>\t<thumbName>"
         "</thumbName>\t<photosUrl></photosUrl>\t<videosUrl></videosUrl>\t<albumCategory>21"
         "</albumCategory>\t<albumTags></albumTags>\t<manualDateInterval>0</manualDateInterval>"
         "\t<startDateInterval>2024-07-01 10:00:00</startDateInterval>\t<endDateInterval>"
         "2024-07-02 10:00:00</endDateInterval>" +
         extra +
         "\t<defaultWatermark>0</defaultWatermark>"
         "\t<photos>\n" +
         photos + "</photos></album>";
}

// A fresh server with the account "alice" (password "secret").
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(server_.Start(&error)) << error;
    aliceId_ = server_.CreateUser("alice", "alice@example.com", "secret");
    ASSERT_GT(aliceId_, 0);
  }

  static std::string Digest(const std::string& password) { return Md5Hex(password); }
  HttpReply Alice(const std::string& command, const Form& fields = Form()) {
    return server_.Command(command, "alice", Digest("secret"), fields);
  }
  static bool IsOk(const HttpReply& r) { return GetElement(r.body, "result") == "OK"; }
  static std::string Value(const HttpReply& r) { return GetElement(r.body, "value"); }
  static std::string ErrCode(const HttpReply& r) { return GetElement(r.body, "errcode"); }

  // UploadFile as the upload job sends it.
  HttpReply Upload(int64_t albumId, const std::string& directory, const std::string& fileName,
                   const std::string& bytes, const std::string& setting,
                   const std::string& user = "alice", const std::string& password = "secret") {
    Form f;
    f.Add("userName", user)
        .Add("userPass", Digest(password))
        .Add("directory", directory)
        .Add("albumID", albumId)
        .Add("setting", setting)
        .AddFile("soubor", fileName, bytes)
        .Eof();
    return server_.Api("upload.php", f);
  }

  // CreateAlbum with a minimal album XML; returns the identifier.
  int64_t CreateAlbum(const std::string& serverDir, const std::string& name = "Album") {
    Form f;
    f.Add("serverDir", serverDir)
        .Add("albumSetting", "<album>\t<albumID>0</albumID>\t<name>" + name +
                                 "</name>\t<photos>\n</photos></album>");
    const HttpReply r = Alice("CreateAlbum", f);
    EXPECT_TRUE(IsOk(r)) << r.body;
    return std::atoll(Value(r).c_str());
  }

  ServerFixture server_;
  int64_t aliceId_ = 0;
};

}  // namespace zerva::test
