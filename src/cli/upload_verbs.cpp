// The upload verbs: the album is made or reopened by the window's own album editor page, prepared
// in advance on every core, and sent by the window's own upload page, both running on the
// terminal.
#include "cli/upload_verbs.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>

#include "app/text_placeholders.h"
#include "cli/cli_status.h"
#include "cli/editor_view.h"
#include "cli/original_progress.h"
#include "cli/upload_album.h"
#include "cli/upload_categories.h"
#include "cli/upload_session.h"
#include "lang/text.h"
#include "media/prepare_files.h"
#include "model/album.h"
#include "ui/album_editor_page.h"
#include "ui/item_location.h"
#include "ui/page_ids.h"
#include "ui/upload_jobs.h"
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

// How long the loader may take to prepare a folder before the upload starts without it.
constexpr std::chrono::hours kLoaderWait{24};

// zerva-cli's own answers to two of the editor's questions while the album is made: the files
// the service lost are sent again, since the folder is what the album is made of; and an album
// over its size is never cut short, since nobody chose which photos stay out.
class EditorAnswers {
 public:
  EditorAnswers(TerminalDialogs& dialogs, CzervaApp& app) : dialogs_(dialogs) {
    dialogs_.SetAnswerRule(
        [&app](const std::string& text, MessageButtons buttons) -> std::optional<StandingAnswer> {
          if (buttons == MessageButtons::kYesNoCancel) {
            return StandingAnswer{Reply::kNo, "the missing files are sent again"};
          }
          const std::string tooMany = FillTextPlaceholders(
              Text("EditPhotosDlgTooManyPhotos"), {std::to_string(app.CurrentAlbum().itemLimit)});
          if (text == tooMany) return StandingAnswer{Reply::kNo, "zerva-cli uploads no part of it"};
          return std::nullopt;
        });
  }
  ~EditorAnswers() { dialogs_.SetAnswerRule(nullptr); }
  EditorAnswers(const EditorAnswers&) = delete;
  EditorAnswers& operator=(const EditorAnswers&) = delete;

 private:
  TerminalDialogs& dialogs_;
};

// The editor's reason for keeping the page, in zerva-cli's words.
std::string RefusalText(NextRefusal why, const CAlbum& album) {
  switch (why) {
    case NextRefusal::kNameEmpty:
      return "the album needs a name (--name)";
    case NextRefusal::kNameDots:
      return "an album cannot be named \"" + album.name + "\"";
    case NextRefusal::kNameTaken:
      return "another album of yours is named \"" + album.name + "\"; choose a name with --name";
    case NextRefusal::kNothingSelected:
      return "the album has nothing to upload";
    case NextRefusal::kTooManyDeclined:
      return "the album holds " + std::to_string(album.IncludedCount()) + " items, more than the " +
             std::to_string(album.itemLimit) + " an album may hold";
    case NextRefusal::kSecureIncomplete:
      return "the album is protected but lacks its name or password; set them in zerva";
    case NextRefusal::kDeletionDeclined:
      return "items of the album would be deleted from the service";
    case NextRefusal::kLoaderBusy:
    case NextRefusal::kNone:
      break;
  }
  return "the album could not be made ready for the upload";
}

struct EditRequest {
  bool newAlbum = true;
  std::string name;  // typed into the name field of a new album; empty: the editor's
  int albumId = 0;   // of an existing album, for the messages
};

// Runs the album editor's page on the current album as the window would, with zerva-cli's
// own steps where a person would act in the window, then uploads the album.
int EditAndUpload(CliContext& context, EditorView& view, const EditRequest& request) {
  CzervaApp& app = *context.app;
  if (context.args.convertFirst) app.SetConvertWhileUploading(false);
  const int threads = PreparationThreadsWanted();
  ThumbsLoaderOptions loader;
  loader.thumbnails = false;
  loader.prepareOnly = [](const CPhoto& item) { return item.included && NeedsPreparation(item); };
  loader.preparationThreads = threads;
  {
    EditorAnswers answers(context.dialogs, app);
    CEditPhotosDlg editor(app, view, std::move(loader));
    editor.UpdateTexts();
    editor.InitControls();
    editor.OnShowPage(false);
    CAlbum& album = app.CurrentAlbum();
    if (view.MovedBack()) {
      if (!request.newAlbum) {
        std::fprintf(context.err, "zerva-cli: the album %d could not be loaded from the service\n",
                     request.albumId);
      } else if (album.items.empty() && app.CommandLine().FilesGiven()) {
        std::fprintf(context.err,
                     "zerva-cli: none of the files is a photo or video the album can take\n");
      }
      return kExitFailed;
    }
    if (request.newAlbum && !request.name.empty()) view.Type(kEditName, request.name, editor);
    // Categories and their forms first: a refused form ends the run before anything is sent.
    if (!ApplyCategories(context)) return kExitFailed;
    GoneItems gone;
    if (!request.newAlbum) {
      // The loader stops while the items change, and then prepares what is included.
      if (!editor.List().ClearList()) {
        std::fprintf(context.err, "zerva-cli: the album's photos are still being read\n");
        return kExitFailed;
      }
      TakeInNewFiles(album);
      gone = LeaveOutGoneItems(album);
      editor.List().StartLoader();
    }
    if (const int count = CountToPrepare(album); count > 0) {
      std::fprintf(context.err, "Preparing %d photos of \"%s\"...\n", count, album.name.c_str());
    }
    // The loader reads the photos' EXIF data and prepares them in advance on every core.
    editor.List().WaitForLoader(kLoaderWait);
    // After the EXIF data: a position the camera recorded is kept.
    if (context.args.gps) {
      const auto [latitude, longitude] = *context.args.gps;
      const int located = LocateItemsWithoutPosition(album, latitude, longitude);
      std::fprintf(context.err, "Placed %d items without a position at %.7f, %.7f\n", located,
                   latitude, longitude);
    }

    bool ready = editor.OnNext();
    if (!ready && !gone.items.empty() && editor.LastRefusal() == NextRefusal::kDeletionDeclined) {
      // Photos whose files are gone stay on the service unless the user says otherwise.
      IncludeAgain(album, gone);
      ready = editor.OnNext();
    }
    if (!ready || !editor.CanLeave(kCopyPage)) {
      std::fprintf(context.err, "zerva-cli: %s\n",
                   RefusalText(editor.LastRefusal(), album).c_str());
      return kExitFailed;
    }
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
  CAlbum& album = app.CurrentAlbum();
  album.Clear();
  EditRequest request;
  const CAlbum* existing = FindAlbumOfFolder(app.AlbumMngr(), path);
  if (existing != nullptr) {
    if (!albumName.empty() && albumName != existing->name) {
      std::fprintf(context.err, "zerva-cli: --name is ignored: the folder's album is \"%s\"\n",
                   existing->name.c_str());
    }
    std::fprintf(context.err, "Bringing up to date album %d \"%s\"\n", existing->albumID,
                 existing->name.c_str());
    // As the albums page opens an album: the editor works on a copy of its entry.
    album = *existing;
    request.newAlbum = false;
    request.albumId = existing->albumID;
  } else {
    // As the albums page starts a new album; the editor's folder picker answers with the folder.
    album.ownerName = app.Session().Name();
    request.name = albumName;
  }
  EditorView view(path);
  return EditAndUpload(context, view, request);
}

int RunUnattendedUpload(CliContext& context) {
  CzervaApp& app = *context.app;
  // The editor takes the files of the command line and names the album from the label.
  CAlbum& album = app.CurrentAlbum();
  album.Clear();
  album.ownerName = app.Session().Name();
  EditorView view({});
  return EditAndUpload(context, view, EditRequest{});
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
