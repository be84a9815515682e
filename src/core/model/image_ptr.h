// Images held by the model (EXIF thumbnails, album covers, prepared images) are FreeImagePlus
// images shared between the owner and the thread that loaded them.
#pragma once

#include <memory>

class fipImage;

namespace zerva {

using ImagePtr = std::shared_ptr<fipImage>;

}  // namespace zerva
