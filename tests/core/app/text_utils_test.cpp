#include "app/text_utils.h"

#include <gtest/gtest.h>

#include <string>

namespace zerva {
namespace {

TEST(NameMaking, FoldServerAndLocalNames) {
  EXPECT_EQ(FoldDiacritics("áčďěéëíľĺňóöřšťůúüýžÁČĎĚÉËÍĽĹŇÓÖŘŠŤŮÚÜÝŽ"),
            "acdeeeillnoorstuuuyzACDEEEILLNOORSTUUUYZ");
  // Letters outside the table and broken sequences pass through byte for byte.
  EXPECT_EQ(FoldDiacritics("Příliš ß x\xc3"), "Prilis ß x\xc3");

  EXPECT_EQ(MakeServerName("Dovolená 2010 – léto!"), "Dovolena_2010_leto");
  EXPECT_EQ(MakeServerName("_"), "_");
  EXPECT_EQ(MakeServerName("__a__"), "a");
  EXPECT_EQ(MakeServerName("!!!"), "_");
  EXPECT_EQ(MakeServerName("a,b-c.d_E9"), "a,b-c.d_E9");
  EXPECT_EQ(MakeServerName(""), "");

  EXPECT_EQ(MakeLocalName("Léto %><? *~/\\|"), "Leto__________|");
}

TEST(HtmlToText, RemovesTagsThenDecodesEntitiesOnce) {
  EXPECT_EQ(HtmlToText("a &lt;b&gt; c"), "a <b> c");
  EXPECT_EQ(HtmlToText("<i>x</i> &amp;amp;"), "x &amp;");
  EXPECT_EQ(HtmlToText("&quot;q&quot;&nbsp;z"), "\"q\" z");
  // A "<" without a ">" after it stays, and so does a lone ">".
  EXPECT_EQ(HtmlToText("a > b <c"), "a > b <c");
  EXPECT_EQ(HtmlToText("<a<b>c>d"), "c>d");
}

TEST(LineEnds, BrNormalizeFlattenAndCrLf) {
  EXPECT_EQ(BrToLineBreak("a<br>b<br/>c<br />d<BR>e<BR/>f<BR />g", false, true),
            "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng");
  EXPECT_EQ(BrToLineBreak("a<br>b\nc", true, false), "a b c");
  EXPECT_EQ(NormalizeToLf("a\r\nb\rc<br>", false, false, true), "a\nb\nc<br>");
  EXPECT_EQ(NormalizeToLf("a<br>b", true, false, true), "a\nb");
  EXPECT_EQ(LfToCrLf("a\nb\n"), "a\r\nb\r\n");
  EXPECT_EQ(FlattenLines("a\r\nb\nc\rd\n\re"), "a b c d  e");
}

TEST(MediaTypes, PatternsExtensionsAndFileExtension) {
  const std::string videos = MediaPatterns(kMediaVideos);
  EXPECT_EQ(videos, "*.avi;*.mov;*.mp4;*.wmv;*.3gp;*.m4v;*.mpg;*.mpeg;*.mod;*.divx;*.mts");
  EXPECT_EQ(MediaPatterns(kMediaPhotos | kMediaVideos), MediaPatterns(kMediaPhotos) + ";" + videos);
  EXPECT_EQ(MediaPatterns(kMediaVideos, true),
            videos + ";*.AVI;*.MOV;*.MP4;*.WMV;*.3GP;*.M4V;*.MPG;*.MPEG;*.MOD;*.DIVX;*.MTS");

  EXPECT_TRUE(IsMediaExtension(".JPG", kMediaPhotos));
  EXPECT_TRUE(IsMediaExtension(".jp", kMediaPhotos));
  EXPECT_TRUE(IsMediaExtension(".x3f", kMediaPhotos));
  EXPECT_FALSE(IsMediaExtension(".mts", kMediaPhotos));
  EXPECT_TRUE(IsMediaExtension(".Mts", kMediaPhotos | kMediaVideos));
  EXPECT_FALSE(IsMediaExtension(".png", kMediaVideos));
  EXPECT_FALSE(IsMediaExtension(".gif", kMediaPhotos | kMediaVideos));
  EXPECT_FALSE(IsMediaExtension(".jpg;*.tif", kMediaPhotos));  // never across two patterns
  EXPECT_FALSE(IsMediaExtension("", kMediaPhotos | kMediaVideos));

  // The types of phones and the web, in any case; matched whole, so truncated or longer
  // extensions do not slip in, and ".w" stays the video it was.
  for (const char* ext : {".jpeg", ".JPEG", ".jpe", ".heic", ".HEIC", ".heif", ".png", ".WebP"}) {
    EXPECT_TRUE(IsMediaExtension(ext, kMediaPhotos)) << ext;
    EXPECT_FALSE(IsMediaExtension(ext, kMediaVideos)) << ext;
  }
  for (const char* ext : {".hei", ".pn", ".web", ".webpx", ".heics", ".jpegg", ".w"}) {
    EXPECT_FALSE(IsMediaExtension(ext, kMediaPhotos)) << ext;
  }
  EXPECT_TRUE(IsMediaExtension(".w", kMediaVideos));
  const std::string photos = MediaPatterns(kMediaPhotos);
  EXPECT_EQ(photos.substr(0, 12), "*.jpg;*.tif;");
  EXPECT_EQ(photos.substr(photos.size() - 40), ";*.jpeg;*.jpe;*.heic;*.heif;*.png;*.webp");
  EXPECT_NE(MediaPatterns(kMediaPhotos, true).find(";*.HEIC;*.HEIF;*.PNG;*.WEBP"),
            std::string::npos);

  EXPECT_EQ(FileExtension("/a/b/photo.tar.JPG"), ".JPG");
  EXPECT_EQ(FileExtension("/a.b/photo"), "");
  EXPECT_EQ(FileExtension("/a/.jpg"), "");
  EXPECT_EQ(FileExtension(".jpg"), "");
}

TEST(Formatters, DurationAndTimes) {
  EXPECT_EQ(FormatDuration(59), "59 s");
  EXPECT_EQ(FormatDuration(61), "1:01 min");
  EXPECT_EQ(FormatDuration(3600), "60:00 min");
  // Both render the same local time, whatever the time zone.
  EXPECT_EQ(FormatFileTime(1273239930), FormatDateTime(1273239930));
  EXPECT_EQ(FormatFileTime(1273239930).size(), 19u);
  EXPECT_EQ(FormatFileTime(0), "");
  EXPECT_EQ(FormatFileTime(-1), "");
  EXPECT_EQ(FormatFileTime(INT64_MAX), "");  // beyond the calendar: empty, no crash
}

TEST(Replace, AllScansOnUntilGoneCollapsesAndTrims) {
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceUntilGone("a______b", "__", "_"), "a_b");
  EXPECT_EQ(ReplaceUntilGone("aab", "ab", "b"), "b");
  // A replacement that contains what it replaces can never be gone: one pass, then stop.
  EXPECT_EQ(ReplaceUntilGone("aa", "a", "aa"), "aaaa");
  EXPECT_EQ(TrimEndChars("abc \r\n", " \r\n"), "abc");
  EXPECT_EQ(TrimChars("  a b  ", " "), "a b");
  EXPECT_EQ(TrimChars("xxx", "x"), "");
}

}  // namespace
}  // namespace zerva
