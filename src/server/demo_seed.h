// --seed-demo: accounts demo/demo and vip/vip, the demo category tree, partners, banners, an
// information banner, the watermark template and a demo album with photos. Safe to repeat.
#pragma once

#include <string>

#include "server/service.h"

namespace zerva::server {

bool SeedDemo(Service& service, std::string* error);

}  // namespace zerva::server
