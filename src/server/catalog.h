// Service-wide catalogue texts shared by several scripts: the partner list and the watermark
// template.
#pragma once

#include <string>

#include "server/server_db.h"
#include "server/storage.h"

namespace zerva::server {

// <partner><partnerID>..</partnerID><name>..</name><desc>..</desc><url>..</url><flag>..</flag>
// </partner> for every partner; the database lock must be held.
std::string PartnerListXml(Db& db);

// The watermark template every user gets (media/watermark.png), empty when none is installed.
std::string WatermarkTemplatePath(const Storage& storage);

}  // namespace zerva::server
