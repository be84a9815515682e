#include "ui/target_resolution.h"

#include <algorithm>
#include <cstdlib>

#include "app/text_placeholders.h"
#include "lang/text.h"
#include "model/album.h"

namespace zerva {

std::vector<int> TargetResolutions(int userMaximum) {
  std::vector<int> sizes = {kSmallResolution, kMediumResolution};
  if (userMaximum > kMediumResolution) sizes.push_back(userMaximum);
  return sizes;
}

ResolutionChange ResolutionChangeAt(const CPhoto& item, int size) {
  const PixelSize prepared = item.PreparedSize();
  const int sent = std::max(prepared.width, prepared.height);
  const int source =
      std::max(std::atoi(item.SourceWidth.c_str()), std::atoi(item.SourceHeight.c_str()));
  ResolutionChange change;
  change.larger = sent + 16 < size && sent + 16 < source;
  change.smaller = size < sent;
  return change;
}

std::string ResolutionSampleText(const CAlbum& album, int size) {
  int larger = 0, largerWithFile = 0, smaller = 0;
  for (const auto& item : album.items) {
    if (!item->included) continue;
    const ResolutionChange change = ResolutionChangeAt(*item, size);
    if (change.larger) {
      ++larger;
      if (item->localFileAvailable) ++largerWithFile;
    }
    if (change.smaller) ++smaller;
  }
  const bool actual = size == album.maxSizeImage;
  std::string lead;
  if (actual) {
    lead = Text("msgRaiseResolutionActual");
  } else if (larger > 0) {
    lead = Text("msgRaiseResolutionUp");
  }
  std::string detail;
  if (larger > 0) {
    if (largerWithFile == larger) {
      detail = FillTextPlaceholders(Text("msgRaiseResolutionX"), {std::to_string(larger)});
    } else if (largerWithFile > 0) {
      detail = FillTextPlaceholders(Text("msgRaiseResolutionXofY"),
                                    {std::to_string(largerWithFile), std::to_string(larger)});
    } else {
      detail = Text("msgRaiseResolutionFuture");
    }
  }
  if (smaller > 0) {
    if (!detail.empty()) detail += ", ";
    detail += FillTextPlaceholders(Text("msgRaiseResolutionDown"), {std::to_string(smaller)});
  }
  if (!lead.empty() && !detail.empty()) lead += ": ";
  return lead + detail;
}

}  // namespace zerva
