// The window's upload of a folder holding an empty file and a photo cut short, offscreen against
// zerva-server: the album goes up without them, and both the upload page and its final message
// name each one with its reason.
#include <gtest/gtest.h>

#include <QLabel>
#include <string>

#include "core/media/item_fixtures.h"
#include "gui_session.h"
#include "ui/copy_page_view.h"
#include "window_server_test.h"

namespace zerva::test {
namespace {

using gui::ZervaWindow;

class UploadProblemsWindowTest : public WindowServerTest {
 protected:
  UploadProblemsWindowTest() : WindowServerTest("problems") {}
  TempDir photos_;
};

TEST_F(UploadProblemsWindowTest, TheFinalMessageNamesTheFailedAndTheLeftOutFiles) {
  PhotoFile(photos_, "a.jpg", 320, 240, 90, 1);
  PhotoFile(photos_, "b.jpg", 320, 240, 90, 2);
  const std::string whole = FileBytes(PhotoFile(photos_, "cut.jpg", 640, 480, 90, 3));
  photos_.Write("cut.jpg", whole.substr(0, whole.size() / 2));
  photos_.Write("empty.jpg", "");
  session_->QueueFolder({photos_.Path(), {}});
  std::string pageText;
  session_->Run([&](ZervaWindow& window) {
    SignIn(window);
    ASSERT_EQ(Shown(window), kEditPhotosPage);
    Upload(window);
    auto* problems = qobject_cast<QLabel*>(Control(window, PageId::kCopy, kCopyFileProblems));
    ASSERT_NE(problems, nullptr);
    pageText = problems->text().toStdString();
  });
  const std::string leftOut = "left out: empty.jpg (empty file)";
  const std::string failed = "failed: cut.jpg (the file ends before the picture does)";
  EXPECT_NE(pageText.find(leftOut), std::string::npos) << pageText;
  EXPECT_NE(pageText.find(failed), std::string::npos) << pageText;

  const ScriptedDialogs::Message* last = nullptr;
  for (const auto& message : session_->Messages()) {
    if (message.text.find("These files are not in the album") != std::string::npos) {
      last = &message;
    }
  }
  ASSERT_NE(last, nullptr) << "no final message";
  EXPECT_EQ(last->kind, MessageKind::kWarning);
  EXPECT_NE(last->text.find(leftOut), std::string::npos) << last->text;
  EXPECT_NE(last->text.find(failed), std::string::npos) << last->text;
  // Nothing was offered again: the photo cannot be mended by sending it once more.
  for (const auto& message : session_->Messages()) {
    EXPECT_EQ(message.text.find("Some files could not be sent"), std::string::npos) << message.text;
  }

  const std::vector<std::string> photos = OnlyAlbumPhotos();
  ASSERT_EQ(photos.size(), 2u);
  for (const std::string& photo : photos) {
    EXPECT_EQ(photo.find("cut.jpg"), std::string::npos) << photo;
  }
}

}  // namespace
}  // namespace zerva::test
