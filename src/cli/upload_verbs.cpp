// The upload verbs: the album is made or reopened as the album editor would, prepared in advance
// on every core, and sent by the window's own upload page running on the terminal.
#include "cli/upload_verbs.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "cli/cli_status.h"
#include "cli/original_progress.h"
#include "cli/upload_album.h"
#include "cli/upload_session.h"
#include "media/prepare_files.h"
#include "ui/zerva_app.h"

namespace zerva::cli {
namespace {

// Preparation threads; the benchmarks compare one thread with every core.
constexpr const char* kThreadsVariable = "ZERVA_PREPARATION_THREADS";

int PreparationThreadsWanted() {
  const char* value = std::getenv(kThreadsVariable);
  if (value == nullptr) return 0;
  const int threads = std::atoi(value);
  return threads > 0 && threads <= 256 ? threads : 0;
}

// Questions are answered by a person only on a terminal without --yes or --no.
bool Attended(const CliContext& context) {
  return context.args.answers == AnswerPolicy::kAsk && ::isatty(STDIN_FILENO) == 1;
}

// The album is ready in the application: checked, prepared in advance, then uploaded.
int UploadCurrentAlbum(CliContext& context, bool newAlbum) {
  CzervaApp& app = *context.app;
  if (context.args.convertFirst) app.SetConvertWhileUploading(false);
  std::string error;
  if (!CheckAlbumForUpload(app, &error)) {
    std::fprintf(context.err, "zerva-cli: %s\n", error.c_str());
    return kExitFailed;
  }
  if (const int count = CountToPrepare(app.CurrentAlbum()); count > 0) {
    std::fprintf(context.err, "Preparing %d photos of \"%s\"...\n", count,
                 app.CurrentAlbum().name.c_str());
    PrepareInAdvanceForUpload(app, newAlbum, PreparationThreadsWanted());
  }
  ShowOriginalsOnTerminal(context);
  const UploadSessionResult result = RunUploadSession(context, Attended(context));
  WaitForOriginals(context);
  return ReportUpload(context, result);
}

}  // namespace

int RunUploadFolder(CliContext& context, const std::string& folder, const std::string& albumName) {
  CzervaApp& app = *context.app;
  const std::string path = CanonicalFolder(folder);
  if (path.empty()) {
    std::fprintf(context.err, "zerva-cli: %s is not a folder\n", folder.c_str());
    return kExitFailed;
  }
  std::string error;
  const CAlbum* existing = FindAlbumOfFolder(app.AlbumMngr(), path);
  if (existing != nullptr) {
    if (!albumName.empty() && albumName != existing->name) {
      std::fprintf(context.err, "zerva-cli: --name is ignored: the folder's album is \"%s\"\n",
                   existing->name.c_str());
    }
    std::fprintf(context.err, "Bringing up to date album %d \"%s\"\n", existing->albumID,
                 existing->name.c_str());
    if (!ReopenAlbum(app, existing->albumID, path, context.dialogs, context.err, &error)) {
      std::fprintf(context.err, "zerva-cli: %s\n", error.c_str());
      return kExitFailed;
    }
    return UploadCurrentAlbum(context, false);
  }
  if (!NewAlbumFromFolder(app, path, albumName, &error)) {
    std::fprintf(context.err, "zerva-cli: %s\n", error.c_str());
    return kExitFailed;
  }
  return UploadCurrentAlbum(context, true);
}

int RunUnattendedUpload(CliContext& context) {
  CzervaApp& app = *context.app;
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%.8X", static_cast<unsigned>(std::time(nullptr)));
  const std::string name = app.CommandLine().Label() + "_" + stamp;
  std::string error;
  if (!NewAlbumFromFiles(app, app.CommandLine().FileList(), name, context.dialogs, &error)) {
    std::fprintf(context.err, "zerva-cli: %s\n", error.c_str());
    return kExitFailed;
  }
  return UploadCurrentAlbum(context, true);
}

int RunPrepare(CliContext& context, const std::string& outDir,
               const std::vector<std::string>& files) {
  PrepareFilesOptions options;
  options.threads = PreparationThreadsWanted();
  int failed = 0;
  for (const PreparedFile& file : PrepareFiles(files, outDir, options)) {
    if (!file.ok) {
      std::fprintf(context.err, "zerva-cli: %s: %s\n", file.source.c_str(), file.error.c_str());
      ++failed;
      continue;
    }
    std::fprintf(context.out, "%s\t%s\t%dx%d\t%s\t%dx%d\n", file.source.c_str(), file.image.c_str(),
                 file.width, file.height, file.thumb.c_str(), file.thumbWidth, file.thumbHeight);
  }
  return failed == 0 ? kExitOk : kExitFailed;
}

}  // namespace zerva::cli
