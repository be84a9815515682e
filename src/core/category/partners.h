// The service's partners, whose logos the window header shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zerva {

class CHttpConnect;

struct Partner {
  int partnerID = 0;
  std::string name;
  std::string desc;
  std::string url;
  int flag = 0;
  std::string logo;  // local path of the downloaded logo; empty when it could not be fetched
};

// The `partner` elements of a GetPartners value, in order, those with partnerID above 0.
std::vector<Partner> ParsePartners(std::string_view value);
// GetPartners, then ParsePartners; empty on failure.
std::vector<Partner> LoadPartners(CHttpConnect& connection, const std::string& userName,
                                  const std::string& userPass, int userId);
// Fetches each logo to `folder` + partnerID + ".jpg" and records the path in `logo`; a logo that
// cannot be fetched leaves `logo` empty and no file behind.
void DownloadPartnerLogos(CHttpConnect& connection, std::vector<Partner>& partners,
                          const std::string& folder);

}  // namespace zerva
