// zerva-cli's album verbs as a real process against zerva-server: the list's order chosen as in
// the window's sort menu and kept, the web page's order saved to the service, an album's address
// mailed, opened signed in and its banners listed, and every refusal a non-zero exit.
#include <gtest/gtest.h>

#include "cli/cli_status.h"
#include "cli_runner.h"
#include "net/endpoints.h"
#include "server_records.h"

namespace zerva::test {
namespace {

using namespace zerva::cli;

// The line of stderr that names the order in use.
std::string OrderLine(const CliRun& run) {
  for (const std::string& line : Lines(run.err)) {
    if (line.rfind("Order: ", 0) == 0) return line;
  }
  return {};
}

std::vector<std::string> ListedIds(const CliRun& run) {
  std::vector<std::string> ids;
  for (const std::string& line : Lines(run.out)) ids.push_back(line.substr(0, line.find('\t')));
  return ids;
}

// The album's web address, the last field of its line in the list.
std::string ListedAddress(const CliRun& run, const std::string& albumId) {
  for (const std::string& line : Lines(run.out)) {
    if (line.rfind(albumId + "\t", 0) == 0) return line.substr(line.rfind('\t') + 1);
  }
  return {};
}

// The mails the server took from the account, oldest first.
std::vector<StoredMail> MailsOf(const ServerFixture& server, const std::string& userName) {
  std::vector<StoredMail> mails = server.Mails();
  std::erase_if(mails, [&](const StoredMail& mail) { return mail.userName != userName; });
  return mails;
}

using CliAlbumOrderTest = CliProcessTest;

TEST_F(CliAlbumOrderTest, SortChoicesFollowTheWindowsMenuAndAreKeptForLaterRuns) {
  const std::vector<std::string> aToZ = {albumIds_[1], albumIds_[0]};
  const std::vector<std::string> zToA = {albumIds_[0], albumIds_[1]};
  // A new account: by name, A to Z.
  const CliRun first = User({"albums"});
  ASSERT_EQ(first.status, kExitOk) << first.err;
  EXPECT_EQ(OrderLine(first), "Order: name ascending; web page: service default");
  EXPECT_EQ(ListedIds(first), aToZ);
  EXPECT_TRUE(Server().LogOf("set_setting.php").empty());  // nothing chosen, nothing saved

  // The key in use turns round, and stays so in the next run.
  const CliRun flipped = User({"albums", "--sort", "name"});
  EXPECT_EQ(OrderLine(flipped), "Order: name descending; web page: service default");
  EXPECT_EQ(ListedIds(flipped), zToA);
  EXPECT_EQ(Server().LogOf("set_setting.php").size(), 1u);
  const CliRun kept = User({"albums"});
  EXPECT_EQ(OrderLine(kept), "Order: name descending; web page: service default");
  EXPECT_EQ(ListedIds(kept), zToA);
  // Chosen twice, the first order is back.
  EXPECT_EQ(ListedIds(User({"albums", "--sort", "name"})), aToZ);

  // Another key takes the direction it had last: never chosen, the largest first.
  EXPECT_EQ(OrderLine(User({"albums", "--sort", "count"})),
            "Order: count descending; web page: service default");
  // A direction given wins over the rule and is kept too.
  EXPECT_EQ(OrderLine(User({"albums", "--sort", "created", "--asc"})),
            "Order: created ascending; web page: service default");
  EXPECT_EQ(OrderLine(User({"albums", "--desc"})),
            "Order: created descending; web page: service default");
  EXPECT_EQ(OrderLine(User({"albums"})), "Order: created descending; web page: service default");
}

TEST_F(CliAlbumOrderTest, WebPageOrderIsSavedToTheServiceAndRefusalsKeepTheOldOne) {
  const CliRun set = User({"albums", "--web-order", "viewCount:asc"});
  ASSERT_EQ(set.status, kExitOk) << set.err;
  EXPECT_EQ(OrderLine(set), "Order: name ascending; web page: viewCount ascending");
  const std::vector<LoggedRequest> saves = Server().LogOf("SetUserDetails");
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].Field("userPageOrder"), "viewCountAsc");
  EXPECT_EQ(ListedIds(set).size(), 2u);  // the list still follows the local order

  // A fresh sign-in brings it back from the service; the same key again turns it round.
  EXPECT_EQ(OrderLine(User({"albums"})), "Order: name ascending; web page: viewCount ascending");
  EXPECT_EQ(OrderLine(User({"albums", "--web-order", "viewCount"})),
            "Order: name ascending; web page: viewCount descending");
  EXPECT_EQ(OrderLine(User({"albums", "--web-order", "date"})),
            "Order: name ascending; web page: date descending");

  ASSERT_TRUE(Server().InjectFault("SetUserDetails", "error", 1, "9:Profile is locked"));
  const CliRun refused = User({"albums", "--web-order", "albumName:asc"});
  EXPECT_EQ(refused.status, kExitFailed);
  EXPECT_NE(refused.err.find("Profile is locked"), std::string::npos) << refused.err;
  EXPECT_TRUE(refused.out.empty());
  EXPECT_EQ(OrderLine(User({"albums"})), "Order: name ascending; web page: date descending");
}

using CliSendTest = CliProcessTest;

TEST_F(CliSendTest, AlbumAddressReachesTheServersMailRecord) {
  const std::string address = ListedAddress(User({"albums"}), albumIds_[1]);
  ASSERT_FALSE(address.empty());
  const CliRun sent = User({"send", albumIds_[1], "--to", " ann@example.com, bob@example.com;; "});
  ASSERT_EQ(sent.status, kExitOk) << sent.err;
  EXPECT_EQ(sent.out,
            "Sent album " + albumIds_[1] + " (By the sea) to ann@example.com;bob@example.com\n");
  std::vector<StoredMail> mails = MailsOf(Server(), user_);
  ASSERT_EQ(mails.size(), 1u);
  EXPECT_EQ(mails[0].to, "ann@example.com;bob@example.com");
  EXPECT_EQ(mails[0].subject, "By the sea");
  EXPECT_NE(mails[0].message.find("\r\n" + address + "\r\n"), std::string::npos)
      << mails[0].message;
  // The login name is no address: none is sent, and the service uses the account's own.
  EXPECT_EQ(Server().LogOf("SendEmail").back().Field("mailFrom"), "");
  EXPECT_EQ(mails[0].from, user_ + "@example.com");
  EXPECT_EQ(Server().LogOf("SendEmail").back().Field("mailTo"), "ann@example.com;bob@example.com");
  EXPECT_EQ(StoredAddressBook(Server(), user_),
            (std::vector<std::string>{"ann@example.com", "bob@example.com"}));

  ASSERT_EQ(User({"send", albumIds_[0], "--to", "cy@example.org", "--subject", "Look", "--message",
                  "Our trip"})
                .status,
            kExitOk);
  mails = MailsOf(Server(), user_);
  ASSERT_EQ(mails.size(), 2u);
  EXPECT_EQ(mails[1].to, "cy@example.org");
  EXPECT_EQ(mails[1].subject, "Look");
  EXPECT_EQ(mails[1].message, "Our trip");

  // Signed in with the account's address, that address is the sender.
  const std::string email = user_ + "@example.com";
  ASSERT_EQ(
      cli_->Run({"-usr", email, "-pwd", "secret", "send", albumIds_[0], "--to", "cy@example.org"})
          .status,
      kExitOk);
  mails = MailsOf(Server(), user_);
  ASSERT_EQ(mails.size(), 3u);
  EXPECT_EQ(mails[2].from, email);
}

TEST_F(CliSendTest, RefusalsExitNonZeroAndSendNothing) {
  // Recipients that do not look like an address are refused before anything is sent.
  const CliRun bad = User({"send", albumIds_[0], "--to", "a@example.com"});
  EXPECT_EQ(bad.status, kExitUsage);
  EXPECT_NE(bad.err.find("holds no valid e-mail address"), std::string::npos) << bad.err;
  EXPECT_TRUE(Server().Log().empty());

  const CliRun unknown = User({"send", "999999", "--to", "ann@example.com"});
  EXPECT_EQ(unknown.status, kExitNotFound);
  EXPECT_NE(unknown.err.find("has no album 999999"), std::string::npos) << unknown.err;

  // The page checks only the first address; the service refuses the rest.
  const CliRun second = User({"send", albumIds_[0], "--to", "ann@example.com; bob"});
  EXPECT_EQ(second.status, kExitFailed);
  EXPECT_NE(second.err.find("Invalid recipient address"), std::string::npos) << second.err;

  ASSERT_TRUE(Server().InjectFault("SendEmail", "error", 1, "9:Mail server down"));
  const CliRun down = User({"send", albumIds_[0], "--to", "ann@example.com"});
  EXPECT_EQ(down.status, kExitFailed);
  EXPECT_NE(down.err.find("Mail server down"), std::string::npos) << down.err;
  EXPECT_TRUE(down.out.empty());
  EXPECT_TRUE(MailsOf(Server(), user_).empty());
}

using CliAlbumPagesTest = CliProcessTest;

TEST_F(CliAlbumPagesTest, OpenPrintsTheAddressThatSignsIn) {
  const std::string address = ListedAddress(User({"albums"}), albumIds_[0]);
  ASSERT_FALSE(address.empty());
  const CliRun open = User({"open", albumIds_[0]});
  ASSERT_EQ(open.status, kExitOk) << open.err;
  const std::vector<std::string> lines = Lines(open.out);
  ASSERT_EQ(lines.size(), 1u) << open.out;
  EXPECT_NE(lines[0].find("prihlasit?act=LoginByTicket&ticket="), std::string::npos) << lines[0];
  const std::string suffix = "&oldURL=" + UrlEscape(address);
  ASSERT_GT(lines[0].size(), suffix.size());
  EXPECT_EQ(lines[0].substr(lines[0].size() - suffix.size()), suffix);
  EXPECT_EQ(Server().LogOf("GetLoginTicket").size(), 1u);

  // Without a ticket the plain address, and the user is told it does not sign in.
  ASSERT_TRUE(Server().InjectFault("GetLoginTicket", "error", 1, "9:No tickets"));
  const CliRun plain = User({"open", albumIds_[0]});
  EXPECT_EQ(plain.status, kExitOk);
  EXPECT_EQ(plain.out, address + "\n");
  EXPECT_NE(plain.err.find("does not sign you in"), std::string::npos) << plain.err;

  EXPECT_EQ(User({"open", "999999"}).status, kExitNotFound);
}

TEST_F(CliAlbumPagesTest, BannersListTheServicesBannersOnePerLine) {
  const CliRun banners = User({"banners", albumIds_[1]});
  ASSERT_EQ(banners.status, kExitOk) << banners.err;
  const std::vector<std::string> lines = Lines(banners.out);
  ASSERT_EQ(lines.size(), 2u) << banners.out;
  EXPECT_EQ(lines[0].rfind("Order prints of this album\thttps://example.com/fotolab/order\t", 0),
            0u)
      << lines[0];
  EXPECT_EQ(lines[0].substr(lines[0].size() - 14), "/banners/1.jpg");
  EXPECT_EQ(lines[1].rfind("Make a photo book\thttps://example.com/printshop/book\t", 0), 0u)
      << lines[1];
  EXPECT_EQ(User({"banners", "999999"}).status, kExitNotFound);

  // A refusal is a failure with the service's words, not an album without banners.
  ASSERT_TRUE(Server().InjectFault("GetBanners", "error", 1, "9:Banners are off"));
  const CliRun refused = User({"banners", albumIds_[1]});
  EXPECT_EQ(refused.status, kExitFailed);
  EXPECT_TRUE(refused.out.empty());
  EXPECT_NE(refused.err.find("Banners are off"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.err.find("No banners"), std::string::npos) << refused.err;
}

TEST_F(CliAlbumPagesTest, FailedDeleteShowsTheServicesTextAndKeepsTheAlbum) {
  ASSERT_TRUE(Server().InjectFault("DeleteAlbum", "error", 1, "9:Album is busy"));
  const CliRun refused = User({"delete", albumIds_[0], "--yes"});
  EXPECT_EQ(refused.status, kExitFailed);
  EXPECT_NE(refused.err.find("Album is busy"), std::string::npos) << refused.err;
  EXPECT_TRUE(refused.out.empty());
  EXPECT_EQ(ListedIds(User({"albums"})).size(), 2u);
}

}  // namespace
}  // namespace zerva::test
