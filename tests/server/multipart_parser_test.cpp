// The multipart reader: part order, file parts, bounds and bodies cut short.
#include "server/multipart_parser.h"

#include <gtest/gtest.h>

#include "server/limits.h"

namespace zerva::server {
namespace {

std::string Part(const std::string& disposition, const std::string& value,
                 const std::string& extra = "") {
  return "--XyZ\r\nContent-Disposition: form-data; " + disposition + "\r\n" + extra + "\r\n" +
         value + "\r\n";
}

TEST(Multipart, BoundaryFromContentType) {
  EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary=abc"), "abc");
  EXPECT_EQ(MultipartBoundary("Multipart/Form-Data; charset=x; boundary=\"a b;c\""), "a b;c");
  EXPECT_EQ(MultipartBoundary("multipart/form-data"), "");
  EXPECT_EQ(MultipartBoundary("text/plain; boundary=abc"), "");
  EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary=" + std::string(71, 'b')), "");
}

TEST(Multipart, KeepsPartsInOrderWithFilesAndBinaryContent) {
  const std::string binary("a\r\n--Xy\0\xff\r\n-", 13);
  const std::string body = Part("name=\"command\"", "NextVideoUpload") +
                           Part("name=\"data1\"; filename=\"C:\\\\tmp\\\\b \\\"1\\\".tmp\"", binary,
                                "Content-Type: application/octet-stream\r\n") +
                           Part("name=\"blocks\"", "<blocks></blocks>") +
                           Part("name=\"empty\"", "") + Part("name=\"eof\"", "1") + "--XyZ--\r\n";
  std::vector<FormField> fields;
  std::string error;
  ASSERT_TRUE(ParseMultipart(body, "XyZ", &fields, &error)) << error;
  ASSERT_EQ(fields.size(), 5u);
  EXPECT_EQ(fields[0].name, "command");
  EXPECT_FALSE(fields[0].isFile);
  EXPECT_EQ(fields[1].name, "data1");
  EXPECT_TRUE(fields[1].isFile);
  EXPECT_EQ(fields[1].fileName, "C:\\tmp\\b \"1\".tmp");
  EXPECT_EQ(fields[1].contentType, "application/octet-stream");
  EXPECT_EQ(fields[1].value, binary);
  EXPECT_EQ(fields[3].value, "");
  EXPECT_EQ(fields[4].value, "1");
}

TEST(Multipart, RefusesCutAndMalformedBodies) {
  const std::string whole = Part("name=\"a\"", "1") + Part("name=\"eof\"", "1") + "--XyZ--\r\n";
  std::vector<FormField> fields;
  std::string error;
  ASSERT_TRUE(ParseMultipart(whole, "XyZ", &fields, &error));
  // Every cut short of the closing delimiter is refused and yields no fields at all.
  for (size_t cut : {0ul, 10ul, whole.size() / 2, whole.size() - 13, whole.size() - 5}) {
    EXPECT_FALSE(ParseMultipart(whole.substr(0, cut), "XyZ", &fields, &error)) << cut;
    EXPECT_TRUE(fields.empty());
  }
  EXPECT_FALSE(ParseMultipart(whole, "", &fields, &error));
  EXPECT_FALSE(ParseMultipart(whole, "Other", &fields, &error));
  EXPECT_FALSE(
      ParseMultipart("--XyZ\r\nContent-Type: x\r\n\r\nv\r\n--XyZ--", "XyZ", &fields, &error));
  EXPECT_FALSE(ParseMultipart("--XyZ\r\n" + std::string(9000, 'h') + "\r\n\r\nv\r\n--XyZ--", "XyZ",
                              &fields, &error));
}

TEST(Multipart, EnforcesFieldCountAndTextSize) {
  std::string many;
  for (size_t i = 0; i <= kMaxFields; ++i) many += Part("name=\"f\"", "1");
  std::vector<FormField> fields;
  std::string error;
  EXPECT_FALSE(ParseMultipart(many + "--XyZ--", "XyZ", &fields, &error));
  EXPECT_EQ(error, "too many form fields");
  const std::string big(kMaxTextFieldBytes + 1, 'x');
  EXPECT_FALSE(ParseMultipart(Part("name=\"t\"", big) + "--XyZ--", "XyZ", &fields, &error));
  // The same bytes as a file part are fine: only the whole body is bounded for files.
  EXPECT_TRUE(
      ParseMultipart(Part("name=\"t\"; filename=\"f\"", big) + "--XyZ--", "XyZ", &fields, &error));
  EXPECT_FALSE(ParseMultipart(
      Part("name=\"" + std::string(kMaxFieldNameBytes + 1, 'n') + "\"", "1") + "--XyZ--", "XyZ",
      &fields, &error));
}

}  // namespace
}  // namespace zerva::server
