// Videos ffmpeg could not convert: after an upload session the user is offered to send their
// original files, which the service keeps as they are; the album editor sends an original on
// request without asking.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "jobs/send_original_video.h"

namespace zerva {

class CJobBase;
class Dialogs;

// For each failed video upload whose conversion failed: asks the service whether it takes the
// original ("encoder"), asks the user, and sends the accepted ones; returns once they are sent,
// delivering the user-interface thread's messages meanwhile. Returns the number of originals
// sent off.
int SendUnknownVideos(const std::vector<CJobBase*>& jobs, const OriginalUploadContext& context,
                      Dialogs& dialogs);

// Sends the original of `path` when the service takes it ("explicit"); no question. False when
// the file is empty or unreadable or the service declines.
bool SendOriginalExplicitly(const std::string& path, const OriginalUploadContext& context);

// Waits while originals are being sent, delivering the user-interface thread's messages.
void WaitForOriginals(const OriginalUploadContext& context);

}  // namespace zerva
