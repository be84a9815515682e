// Whether an album item can carry the user's watermark: a photo the service holds or whose file
// is here, when the user has a watermark and the picture (once its size is known) is wider and
// taller than it. The album editor's watermark button and the thumbnail list's watermark
// command ask this, and both change an item's watermark the one way below.
#pragma once

namespace zerva {

class CPhoto;
struct PreparationSettings;

bool CanCarryWatermark(const CPhoto& item, int watermarkWidth, int watermarkHeight);

// Gives the item the watermark state `on`, marked as the user's edit. The prepared-file cache
// names carry no watermark state, so the files of the old state go (adopted first when the item
// does not name them yet, or a later preparation would take them up), and the prepared image
// and its patch are made anew. The caller has stopped whatever prepares the item.
void SetItemWatermark(CPhoto& item, bool on, const PreparationSettings& settings, int size);

}  // namespace zerva
