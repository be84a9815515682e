#include "server/catalog.h"

#include "app/elements.h"
#include "platform/fs.h"

namespace zerva::server {

std::string PartnerListXml(Db& db) {
  std::string out;
  for (const SqlRow& r :
       db.Query("SELECT id, name, description, url, flag FROM partners ORDER BY id")) {
    out += "<partner>" + MakeElement("partnerID", r[0].Int()) + MakeElement("name", r[1].Text()) +
           MakeElement("desc", r[2].Text()) + MakeElement("url", r[3].Text()) +
           MakeElement("flag", r[4].Int()) + "</partner>";
  }
  return out;
}

std::string WatermarkTemplatePath(const Storage& storage) {
  const std::string path = storage.MediaFile("watermark.png");
  return FileExists(path) ? path : std::string();
}

}  // namespace zerva::server
