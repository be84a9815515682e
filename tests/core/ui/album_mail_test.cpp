// The rules of mailing an album's address: when the recipients field may be sent, how it is
// split and joined, how the address book's choices change it, and the message a mail starts
// with.
#include "ui/album_mail.h"

#include <gtest/gtest.h>

#include "lang/text.h"
#include "model/album.h"
#include "ui/album_banners.h"

namespace zerva::test {
namespace {

using Addresses = std::vector<std::string>;

TEST(RecipientCheck, NeedsTwoCharactersOnEverySideOfTheAtAndTheDot) {
  EXPECT_TRUE(RecipientsLookValid("ab@cd.ef"));
  EXPECT_FALSE(RecipientsLookValid("a@cd.ef")) << "one character before the @";
  EXPECT_FALSE(RecipientsLookValid("ab@c.ef")) << "one character between the @ and the dot";
  EXPECT_FALSE(RecipientsLookValid("ab@cd.e")) << "one character after the dot";
  EXPECT_TRUE(RecipientsLookValid("ab@cd.efg"));
  EXPECT_FALSE(RecipientsLookValid(""));
  EXPECT_FALSE(RecipientsLookValid("abcd.ef")) << "no @";
  EXPECT_FALSE(RecipientsLookValid("ab@cdef")) << "no dot after the @";
}

TEST(RecipientCheck, LooksAtTheFirstAtAndTheFirstDotAfterIt) {
  // A dot before the @ does not count.
  EXPECT_TRUE(RecipientsLookValid("j.n@cd.ef"));
  EXPECT_FALSE(RecipientsLookValid("x.yz@c.ef"));
  // The first dot after the @ decides, not a later one.
  EXPECT_FALSE(RecipientsLookValid("ab@c.de.fg"));
  // The first @ decides: one character before it.
  EXPECT_FALSE(RecipientsLookValid("x@ab@cd.ef"));
  // Only the first address is looked at.
  EXPECT_TRUE(RecipientsLookValid("ab@cd.ef; x"));
}

TEST(RecipientList, CommasAndBlanksMakeOneSemicolonList) {
  const Addresses split = SplitRecipients(" ann@example.com , bob@example.org;;\tcid@x.cz ; ");
  EXPECT_EQ(split, (Addresses{"ann@example.com", "bob@example.org", "cid@x.cz"}));
  EXPECT_EQ(JoinRecipients(split), "ann@example.com;bob@example.org;cid@x.cz");
  EXPECT_TRUE(SplitRecipients(" ; , ").empty());
  EXPECT_TRUE(SplitRecipients("").empty());
  // Blanks inside an address go as well.
  EXPECT_EQ(SplitRecipients("jan novak@x.cz"), Addresses{"jannovak@x.cz"});
  EXPECT_EQ(JoinRecipients({}), "");
}

TEST(RecipientList, TheAddressBookAddsAndRemovesWholeAddresses) {
  EXPECT_EQ(WithRecipient("", "ann@example.com"), "ann@example.com");
  EXPECT_EQ(WithRecipient("ann@example.com", "bob@example.org"),
            "ann@example.com; bob@example.org");
  // Present already (written with a comma and blanks): not twice.
  EXPECT_EQ(WithRecipient("ann@example.com , bob@example.org", "bob@example.org"),
            "ann@example.com; bob@example.org");
  EXPECT_TRUE(HasRecipient("ann@example.com , bob@example.org", "bob@example.org"));
  // A longer address holding the one asked for is another address.
  EXPECT_FALSE(HasRecipient("xann@example.com", "ann@example.com"));
  EXPECT_EQ(WithoutRecipient("ann@example.com; bob@example.org; cid@x.cz", "bob@example.org"),
            "ann@example.com; cid@x.cz");
  EXPECT_EQ(WithoutRecipient("ann@example.com", "ann@example.com"), "");
  EXPECT_EQ(WithoutRecipient("xann@example.com", "ann@example.com"), "xann@example.com");
}

CAlbum Album(const std::string& desc) {
  CAlbum album;
  album.name = "Léto v Třeboni";
  album.ownerName = "jana";
  album.serverDir = "leto-v-treboni";
  album.desc = desc;
  return album;
}

TEST(AlbumMailText, SubjectIsTheNameAndTheMessageTheAddress) {
  const CAlbum album = Album("");
  ASSERT_FALSE(album.AlbumUrl().empty());
  EXPECT_EQ(AlbumMailSubject(album), "Léto v Třeboni");
  EXPECT_EQ(AlbumMailMessage(album),
            "\r\n\r\n" + Text("SendAlbumDlgAlbumURL") + "\r\n" + album.AlbumUrl() + "\r\n");
}

TEST(AlbumMailText, TheDescriptionFollowsAsPlainLinesEndingInCrLf) {
  // The editor keeps LF line ends; the service's "<br>" marks stand for line breaks too.
  const CAlbum album = Album("Rybníky<br>a hráze\nvšude kolem<br/>konec");
  const std::string message = AlbumMailMessage(album);
  EXPECT_EQ(message, "\r\n\r\n" + Text("SendAlbumDlgAlbumURL") + "\r\n" + album.AlbumUrl() +
                         "\r\n\r\n" + Text("SendAlbumDlgAlbumDesc") +
                         "\r\nRybníky\r\na hráze\r\nvšude kolem\r\nkonec");
  for (size_t at = message.find('\n'); at != std::string::npos; at = message.find('\n', at + 1)) {
    ASSERT_GT(at, 0u);
    EXPECT_EQ(message[at - 1], '\r') << "a line ending in a lone LF at " << at;
  }
  EXPECT_EQ(message.find("<br"), std::string::npos);
}

TEST(BannerLinks, OnlyWebAddressesOpen) {
  EXPECT_TRUE(IsWebLink("https://example.com/fotolab/order"));
  EXPECT_TRUE(IsWebLink("HTTP://example.com"));
  EXPECT_FALSE(IsWebLink("http://"));
  EXPECT_FALSE(IsWebLink("file:///etc/passwd"));
  EXPECT_FALSE(IsWebLink("/usr/bin/xterm"));
  EXPECT_FALSE(IsWebLink("javascript:alert(1)"));
  EXPECT_FALSE(IsWebLink(" https://example.com"));
  EXPECT_FALSE(IsWebLink(""));
}

}  // namespace
}  // namespace zerva::test
