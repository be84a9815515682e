#include "app/dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/app_folders.h"
#include "app/scripted_dialogs.h"
#include "lang/text.h"

namespace zerva {
namespace {

// The process-wide table, loaded from the language files next to the test program.
class DialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("LC_ALL", "C", 1);
    ASSERT_TRUE(Localization().LoadLocal());
  }
  void TearDown() override { SetServiceDomainName(kDefaultServiceDomainName); }
};

TEST_F(DialogsTest, CaptionIsDomainWithoutSlashAndKindText) {
  SetServiceDomainName("photos.example.org/");
  EXPECT_EQ(MessageCaption(MessageKind::kInformation), "photos.example.org | " + Text("msgInfo"));
  EXPECT_EQ(MessageCaption(MessageKind::kWarning), "photos.example.org | " + Text("msgWarning"));
  EXPECT_EQ(MessageCaption(MessageKind::kError), "photos.example.org | " + Text("msgError"));
  SetServiceDomainName("zerva.localhost");
  EXPECT_EQ(MessageCaption(MessageKind::kError), "zerva.localhost | " + Text("msgError"));
  // The three kinds have texts of their own, not the missing-key marker.
  EXPECT_NE(Text("msgInfo").front(), '?');
  EXPECT_NE(Text("msgInfo"), Text("msgWarning"));
  EXPECT_NE(Text("msgWarning"), Text("msgError"));
}

TEST_F(DialogsTest, ScriptedRepliesComeFromTheQueueThenTheDefault) {
  ScriptedDialogs dialogs(Reply::kYes);
  dialogs.QueueReply(Reply::kNo);
  dialogs.QueueReply(Reply::kRetry);
  EXPECT_EQ(dialogs.ShowMessage("first?", MessageKind::kWarning, MessageButtons::kYesNo),
            Reply::kNo);
  // A queued reply is returned even when the box does not offer it: the test asked for it.
  EXPECT_EQ(dialogs.ShowMessage("second", MessageKind::kInformation), Reply::kRetry);
  EXPECT_EQ(dialogs.ShowMessage("third?", MessageKind::kWarning, MessageButtons::kYesNoCancel),
            Reply::kYes);
  // The default is not offered: the declining answer, never a confirmation.
  EXPECT_EQ(dialogs.ShowMessage("retry?", MessageKind::kError, MessageButtons::kRetryCancel),
            Reply::kCancel);
  EXPECT_EQ(dialogs.ShowMessage("ok?", MessageKind::kError, MessageButtons::kOkCancel),
            Reply::kCancel);
  EXPECT_EQ(dialogs.ShowMessage("notice", MessageKind::kInformation), Reply::kOk);
  EXPECT_EQ(ScriptedDialogs(Reply::kCancel)
                .ShowMessage("delete?", MessageKind::kWarning, MessageButtons::kYesNo),
            Reply::kNo);
  EXPECT_EQ(dialogs.UnusedReplies(), 0u);

  const auto messages = dialogs.Messages();
  ASSERT_EQ(messages.size(), 6u);
  EXPECT_EQ(messages[0].text, "first?");
  EXPECT_EQ(messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(messages[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(messages[0].caption, MessageCaption(MessageKind::kWarning));
  EXPECT_EQ(messages[3].caption, MessageCaption(MessageKind::kError));
}

TEST_F(DialogsTest, ScriptedWaitAndPickersAreRecordedAndAnswered) {
  ScriptedDialogs dialogs;
  dialogs.ShowWait("Loading...", "cap");
  EXPECT_TRUE(dialogs.WaitVisible());
  dialogs.HideWait();
  EXPECT_FALSE(dialogs.WaitVisible());
  ASSERT_EQ(dialogs.Waits().size(), 1u);
  EXPECT_EQ(dialogs.Waits()[0].text, "Loading...");
  EXPECT_EQ(dialogs.Waits()[0].caption, "cap");

  dialogs.QueueFolder("/photos/2010/");
  dialogs.QueueFolder(std::nullopt);
  dialogs.QueueFiles({"/a.jpg", "/b.mp4"});
  EXPECT_EQ(dialogs.UnusedReplies(), 3u);
  EXPECT_EQ(dialogs.PickFolder("Choose", "/home/"), "/photos/2010/");
  EXPECT_EQ(dialogs.PickFolder("Choose again", "/"), std::nullopt);
  EXPECT_EQ(dialogs.PickFolder("Nothing queued", "/"), std::nullopt);
  EXPECT_EQ(dialogs.PickFiles("Add", "/photos/", "*.jpg;*.mp4"),
            (std::vector<std::string>{"/a.jpg", "/b.mp4"}));
  EXPECT_TRUE(dialogs.PickFiles("Add more", "/", "*.jpg").empty());

  const auto pickers = dialogs.Pickers();
  ASSERT_EQ(pickers.size(), 5u);
  EXPECT_FALSE(pickers[0].files);
  EXPECT_EQ(pickers[0].title, "Choose");
  EXPECT_EQ(pickers[0].startFolder, "/home/");
  EXPECT_TRUE(pickers[3].files);
  EXPECT_EQ(pickers[3].patterns, "*.jpg;*.mp4");
}

}  // namespace
}  // namespace zerva
