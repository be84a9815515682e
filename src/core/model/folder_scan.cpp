#include "model/folder_scan.h"

#include <FreeImage.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "app/text_placeholders.h"
#include "app/trace.h"
#include "lang/text.h"
#include "model/album_environment.h"
#include "model/exif_text.h"
#include "model/heif_brand.h"
#include "model/image_file_reader.h"
#include "model/photo.h"
#include "model/text_compare.h"
#include "model/video_prober.h"
#include "model/zerva_video.h"

namespace zerva {
namespace {

// A folder holds more files than any album may: stop listing long before memory matters.
constexpr size_t kMaxListedFiles = 100000;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

DetectedType Refused(LeftOutReason reason, std::string format = {}) {
  DetectedType type;
  type.refusal = reason;
  type.otherFormat = std::move(format);
  return type;
}

}  // namespace

AcceptedName IsAcceptedName(std::string_view fileName, bool allowVideo) {
  const size_t slash = fileName.rfind('/');
  if (slash != std::string_view::npos) fileName = fileName.substr(slash + 1);
  const std::string extension = FileExtension(fileName);
  if (extension.empty()) return {};
  if (IsMediaExtension(extension, kMediaPhotos)) return {true, false};
  if (allowVideo && IsMediaExtension(extension, kMediaVideos)) return {true, true};
  return {};
}

void SortLeftOut(std::vector<LeftOutFile>& files) {
  std::stable_sort(files.begin(), files.end(), [](const LeftOutFile& a, const LeftOutFile& b) {
    if (a.reason != b.reason) return a.reason < b.reason;
    return CollateNoCase(a.name, b.name) < 0;
  });
}

std::string LeftOutText(const LeftOutFile& file) {
  switch (file.reason) {
    case LeftOutReason::kNone:
      return {};
    case LeftOutReason::kNotRegularFile:
      return Text("leftOutNotRegular");
    case LeftOutReason::kLinkLoop:
      return Text("leftOutLinkLoop");
    case LeftOutReason::kBrokenLink:
      return Text("leftOutBrokenLink");
    case LeftOutReason::kNameNotUtf8:
      return Text("leftOutNameNotUtf8");
    case LeftOutReason::kUnreadable:
      return Text("leftOutUnreadable");
    case LeftOutReason::kEmpty:
      return Text("leftOutEmpty");
    case LeftOutReason::kNotPicture:
      return Text("leftOutNotPicture");
    case LeftOutReason::kOtherPicture:
      return FillTextPlaceholders(Text("leftOutOtherPicture"), {file.format});
    case LeftOutReason::kNotVideo:
      return Text("leftOutNotVideo");
    case LeftOutReason::kNotMedia:
      return Text("leftOutNotMedia");
  }
  return {};
}

NamedReason Named(const LeftOutFile& file) {
  return {file.name, LeftOutText(file)};
}

std::string NamedReasonList(const std::vector<NamedReason>& files) {
  std::string list;
  for (const NamedReason& file : files) {
    if (!list.empty()) list += ", ";
    list += CleanUtf8(file.name, file.name.size()) + " (" + file.reason + ")";
  }
  return list;
}

LocalFileCheck CheckLocalFile(const std::string& path) {
  LocalFileCheck check;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    check.refusal = errno == EACCES ? LeftOutReason::kUnreadable : LeftOutReason::kBrokenLink;
    return check;
  }
  if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0) {
    if (errno == ELOOP) {
      check.refusal = LeftOutReason::kLinkLoop;
    } else if (errno == EACCES) {
      check.refusal = LeftOutReason::kUnreadable;
    } else {
      check.refusal = LeftOutReason::kBrokenLink;
    }
    return check;
  }
  if (S_ISDIR(st.st_mode)) {
    check.isDirectory = true;
  } else if (!S_ISREG(st.st_mode)) {
    check.refusal = LeftOutReason::kNotRegularFile;
  } else if (::access(path.c_str(), R_OK) != 0) {
    check.refusal = LeftOutReason::kUnreadable;
  } else if (st.st_size == 0) {
    check.refusal = LeftOutReason::kEmpty;
  }
  return check;
}

DetectedType DetectType(const std::string& path, const AlbumEnvironment& env, CZervaVideo* video) {
  const AcceptedName name = IsAcceptedName(path, env.videoSupport);
  if (!name.accepted) return Refused(LeftOutReason::kNotMedia);
  const size_t slash = path.rfind('/');
  if (!IsValidUtf8(slash == std::string::npos ? path : path.substr(slash + 1))) {
    return Refused(LeftOutReason::kNameNotUtf8);
  }
  const LocalFileCheck check = CheckLocalFile(path);
  if (check.isDirectory) return Refused(LeftOutReason::kNotRegularFile);
  if (check.refusal != LeftOutReason::kNone) return Refused(check.refusal);
  if (name.isVideo) {
    CZervaVideo scratch;
    if (!ProbeVideo(env.videoProber, video ? *video : scratch, path)) {
      return Refused(LeftOutReason::kNotVideo);
    }
    return {kVideoFormat, true, LeftOutReason::kNone, {}};
  }
  // Typed through a stream opened here: the file may have been swapped since the check.
  ImageFileReader reader(path);
  if (!reader.IsOpen()) {
    return Refused(reader.OpenError() == EINVAL ? LeftOutReason::kNotRegularFile
                                                : LeftOutReason::kUnreadable);
  }
  // The image library does not know HEIF; its first box tells.
  const std::string head = reader.Head(kIsoHeadBytes);
  switch (IsoImageKindOf(head)) {
    case IsoImageKind::kHeif:
      return {kImageFormatHeif, false, LeftOutReason::kNone, {}};
    case IsoImageKind::kAvif:
      return Refused(LeftOutReason::kOtherPicture, "AVIF");
    case IsoImageKind::kNone:
      break;
  }
  const FREE_IMAGE_FORMAT format = reader.Format();
  switch (format) {
    case FIF_JPEG:
    case FIF_TIFF:
    case FIF_RAW:
    case FIF_PNG:
    case FIF_WEBP:
      static_assert(kImageFormatJpeg == FIF_JPEG && kImageFormatTiff == FIF_TIFF &&
                    kImageFormatRaw == FIF_RAW && kImageFormatPng == FIF_PNG &&
                    kImageFormatWebp == FIF_WEBP);
      return {static_cast<int>(format), false, LeftOutReason::kNone, {}};
    case FIF_UNKNOWN:
      return Refused(LeftOutReason::kNotPicture);
    default: {
      const char* formatName = FreeImage_GetFormatFromFIF(format);
      return Refused(LeftOutReason::kOtherPicture, formatName != nullptr ? formatName : "?");
    }
  }
}

std::vector<FolderEntry> ScanFolder(const std::string& folder, bool allowVideo,
                                    std::vector<LeftOutFile>* leftOut) {
  std::vector<FolderEntry> entries;
  std::vector<LeftOutFile> refused;
  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
  if (!dir) return entries;
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!IsAcceptedName(name, allowVideo).accepted) continue;
    const std::string path = prefix + name;
    if (!IsValidUtf8(name)) {
      refused.push_back({name, LeftOutReason::kNameNotUtf8, {}});
      continue;
    }
    const LocalFileCheck check = CheckLocalFile(path);
    if (check.isDirectory) continue;  // sub-folders are not part of the album
    if (check.refusal != LeftOutReason::kNone) {
      refused.push_back({name, check.refusal, {}});
      continue;
    }
    entries.push_back({name, path});
    if (entries.size() + refused.size() >= kMaxListedFiles) break;
  }
  std::stable_sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    return CollateNoCase(a.name, b.name) < 0;
  });
  for (const LeftOutFile& file : refused) {
    Trace(kTraceWarning, static_cast<int>(file.name.size() + prefix.size()) + 32,
          "ScanFolder: %s%s left out: %s\n", prefix.c_str(), file.name.c_str(),
          LeftOutText(file).c_str());
  }
  if (leftOut != nullptr) {
    SortLeftOut(refused);
    *leftOut = std::move(refused);
  }
  return entries;
}

}  // namespace zerva
