// Turning an album item by quarter turns from the thumbnail list: the rotation code, the pictures
// the item holds in memory, and for a video the frame files its upload sends.
#pragma once

namespace zerva {

class CPhoto;
struct PreparationSettings;

// The rotation code after `quarters` more quarter turns clockwise. The flip stays: the sum wraps
// within 0..3 or 4..7 (6 turned right is 7, and 7 turned right is 4).
int TurnedRotationCode(int code, int quarters);

// Gives the item the turned code and turns its quick image, thumbnail and prepared image to match
// it; width and height (and the thumbnail's) swap for an odd turn. A watermarked prepared image
// is dropped with its patch instead: the mark belongs in the corner of the turned picture. All of
// it under the item's lock. False for a code the pictures cannot follow (they are then dropped).
bool TurnItem(CPhoto& item, int quarters);

// A turned video's frame files in the upload folders: written again from the turned pictures, or
// removed where there is none, so that its preparation makes them anew.
void RewriteVideoFrameFiles(CPhoto& item, const PreparationSettings& settings);

}  // namespace zerva
