#include "category/partners.h"

#include <unistd.h>

#include "app/elements.h"
#include "app/trace.h"
#include "category/validator.h"
#include "net/endpoints.h"
#include "net/http_connect.h"
#include "platform/fs.h"

namespace zerva {

std::vector<Partner> ParsePartners(std::string_view value) {
  std::vector<Partner> partners;
  for (const std::string& element : GetElements(value, "partner")) {
    Partner partner;
    partner.partnerID = NumericValueInt(GetElement(element, "partnerID"));
    if (partner.partnerID <= 0) continue;
    partner.name = GetElement(element, "name");
    partner.desc = GetElement(element, "desc");
    partner.url = GetElement(element, "url");
    partner.flag = NumericValueInt(GetElement(element, "flag"));
    partners.push_back(std::move(partner));
  }
  return partners;
}

std::vector<Partner> LoadPartners(CHttpConnect& connection, const std::string& userName,
                                  const std::string& userPass, int userId) {
  const ApiResult result = connection.GetPartners(userName, userPass, userId);
  if (!result.Ok()) return {};
  return ParsePartners(result.value);
}

void DownloadPartnerLogos(CHttpConnect& connection, std::vector<Partner>& partners,
                          const std::string& folder) {
  const std::string base = WithTrailingSlash(folder);
  CreateDirectoryPath(base);
  for (Partner& partner : partners) {
    partner.logo.clear();
    const std::string path = base + std::to_string(partner.partnerID) + ".jpg";
    const ApiResult result =
        connection.DownloadFile(PartnerLogoUrl(partner.partnerID), path, nullptr, "");
    if (result.Ok() && FileSize(path) > 0) {
      partner.logo = path;
      continue;
    }
    // An error page or a broken transfer is no logo; the strip leaves the place empty.
    ::unlink(path.c_str());
    Trace(kTraceWarning, 0, "Partner logo %d not available: %s\n", partner.partnerID,
          result.message.c_str());
  }
}

}  // namespace zerva
