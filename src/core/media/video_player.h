// Playing a video with ffplay in a window of its own that closes at the end or on a click.
#pragma once

#include <string>

#include "media/process_command.h"

namespace zerva {

class CPhoto;

// ffplay -window_title "<title> <help>" -autoexit -exitonmousedown "<location>"
ProcessCommand PlayVideoCommand(const std::string& title, const std::string& help,
                                const std::string& location);

// Starts the player for `location` (a file or an address) with the item's name as `title` and
// the "helpVideoPlayer" text; it is not waited for. False when ffplay cannot be started.
bool PlayVideo(const std::string& title, const std::string& location);

// What to play for an item: its local source file when it has one, else for a public item
// already on the service its address there; empty when neither (or the item is no video).
std::string VideoPlayLocation(const CPhoto& item);

}  // namespace zerva
