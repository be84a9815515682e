#include "category/partners.h"

#include <gtest/gtest.h>

#include "app/elements.h"
#include "category/logo_strip.h"

namespace zerva {
namespace {

std::string PartnerXml(const std::string& id, const std::string& name, const std::string& flag) {
  return MakeElement("partner", MakeElement("partnerID", id) + MakeElement("name", name) +
                                    MakeElement("desc", name + " desc") +
                                    MakeElement("url", "https://example.com/" + name) +
                                    MakeElement("flag", flag));
}

TEST(Partners, KeptInAnswerOrderWhenTheirIdentifierIsPositive) {
  const std::vector<Partner> partners =
      ParsePartners(PartnerXml("5", "Fotolab", "1") + PartnerXml("0", "Nobody", "0") +
                    PartnerXml("-2", "Negative", "0") + PartnerXml("", "Missing", "0") +
                    PartnerXml("2", "PrintShop", ""));
  ASSERT_EQ(partners.size(), 2u);
  EXPECT_EQ(partners[0].partnerID, 5);
  EXPECT_EQ(partners[0].name, "Fotolab");
  EXPECT_EQ(partners[0].desc, "Fotolab desc");
  EXPECT_EQ(partners[0].url, "https://example.com/Fotolab");
  EXPECT_EQ(partners[0].flag, 1);
  EXPECT_TRUE(partners[0].logo.empty());
  EXPECT_EQ(partners[1].partnerID, 2);
  EXPECT_EQ(partners[1].flag, 0);
  EXPECT_TRUE(ParsePartners("").empty());
  EXPECT_TRUE(ParsePartners("<partner><partnerID>3</partnerID>").empty());
}

TEST(LogoStrip, RectanglesCentredInTheStrip) {
  std::vector<int> tops;
  for (const LogoRect& r : PartnerLogoRects(4)) {
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.width, 50);
    EXPECT_EQ(r.height, 15);
    tops.push_back(r.top);
  }
  EXPECT_EQ(tops, (std::vector<int>{2, 18, 34, 50}));
  EXPECT_TRUE(PartnerLogoRects(0).empty());
  EXPECT_EQ(PartnerLogoRects(1), (std::vector<LogoRect>{{1, 26, 50, 15}}));
  EXPECT_EQ(PartnerLogoRects(2)[0].top, 18);
  // More than fit: the strip is still centred, the outer logos are cut.
  EXPECT_EQ(PartnerLogoRects(5)[0].top, -6);
  EXPECT_EQ(PartnerLogoRects(5)[4].top, 58);
}

}  // namespace
}  // namespace zerva
