#include "update/update_check.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/app_folders.h"
#include "app/dialogs.h"
#include "app/elements.h"
#include "app/profile.h"
#include "app/text_placeholders.h"
#include "app/trace.h"
#include "app/usage_stats.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "platform/folders.h"
#include "platform/fs.h"
#include "platform/system_error.h"
#include "platform/tools.h"
#include "update/unpack_archive.h"
#include "update/update_description.h"

extern char** environ;

namespace zerva {
namespace {

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string LastPathPart(const std::string& url) {
  const size_t slash = url.rfind('/');
  return slash == std::string::npos ? url : url.substr(slash + 1);
}

// A downloaded file's size and time go into the download totals of the statistics.
void RecordDownload(const std::string& path, int64_t startedMs) {
  const int64_t size = FileSize(path);
  if (size > 0) AppStatistics().RecordTransferBytes(false, size, NowMs() - startedMs);
}

void RemoveLeftovers(const std::string& programFolder) {
  // What an earlier self-patch left behind; the Windows per-user virtual store has no
  // counterpart here.
  ::unlink((programFolder + "patcher").c_str());
  ::unlink((programFolder + "patcher.ver").c_str());
}

bool ProgramFolderWritable(const std::string& programFolder) {
  const std::string probe = programFolder + "testwriteaccess";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

bool Skipped(const UpdateComponent& component, bool hidden, const UpdateEnvironment& env) {
  const bool quiet = hidden && component.quietUpdate == "true";
  switch (GroupOf(component.BaseName())) {
    case ComponentGroup::kConverter:
      return !(env.converterPresent || quiet);
    case ComponentGroup::kPlayer:
      return !(env.playerPresent || quiet);
    case ComponentGroup::kProgram:
      break;
  }
  return hidden;
}

// What a package-managed installation does with the description: it only finds out whether
// the service offers something newer than what is installed. The video tools come from the
// system too, so the hidden check has nothing to do.
int ReportNewerVersion(const std::string& description, int programVersion, bool hidden,
                       std::string* report, const UpdateEnvironment& env) {
  *report += "Info: the package manager installs updates of this installation\n";
  if (hidden) return 0;
  for (const DownloadAndRun& entry : ReadDownloadAndRun(description)) {
    if (entry.versionCondition == programVersion && !entry.runUrl.empty()) return 2;
  }
  bool found = false;
  const std::vector<UpdateComponent> components = ReadComponents(description, &found);
  if (!found) {
    *report += "Error: Malformated update string\n";
    return -1;
  }
  for (const UpdateComponent& component : components) {
    if (Skipped(component, hidden, env)) continue;
    const std::string base = component.BaseName();
    const int local =
        base == "zerva" ? programVersion : LocalVersion(env.programFolder + component.name);
    if (local < component.version) {
      *report += " " + base + " is newer on the server\n";
      return 2;
    }
  }
  return 0;
}

}  // namespace

UpdateEnvironment DefaultUpdateEnvironment(Dialogs* dialogs) {
  UpdateEnvironment env;
  env.programFolder = ProgramFolder();
  env.tempFolder = TempFolder();
  const ToolLocation ffmpeg = FindTool("ffmpeg", env.programFolder);
  const ToolLocation ffplay = FindTool("ffplay", env.programFolder);
  env.converterPresent = ffmpeg.present;
  env.playerPresent = ffplay.present;
  env.dialogs = dialogs;
  env.packageManaged = FileExists(DataFilePathIn(env.programFolder, kPackageMarkerFile));
  return env;
}

int UpdateProgramFiles(const std::string& description, int programVersion,
                       std::string* launchFolder, std::string* launchFile,
                       std::string* launchArgument, bool* mayWrite, CHttpConnect& connection,
                       bool hidden, CancelFlag* stop, std::string* report,
                       const UpdateEnvironment& env) {
  *report += "UpdateProgramFiles, pass 1\n";
  if (env.packageManaged)
    return ReportNewerVersion(description, programVersion, hidden, report, env);
  RemoveLeftovers(env.programFolder);

  *mayWrite = ProgramFolderWritable(env.programFolder);
  if (!*mayWrite) *report += "Error: No write access to program directory\n";

  if (!DirectoryExists(env.tempFolder) && !CreateDirectoryPath(env.tempFolder, nullptr, 0700)) {
    *report += "Error: Cannot create working directories\n";
    return -1;
  }

  for (const DownloadAndRun& entry : ReadDownloadAndRun(description)) {
    if (entry.versionCondition != programVersion || entry.runUrl.empty()) continue;
    const std::string file = LastPathPart(entry.runUrl);
    // A name taken from the service never points outside the working folder.
    if (file.empty() || file == "." || file == "..") continue;
    const std::string target = env.tempFolder + file;
    const int64_t started = NowMs();
    if (!connection.DownloadFile(entry.runUrl, target, stop, "").Ok()) continue;
    RecordDownload(target, started);
    ::chmod(target.c_str(), 0755);
    *launchFolder = env.tempFolder;
    *launchFile = file;
    *mayWrite = entry.runAs == "false";
    *launchArgument = env.programFolder;
    *report += "Info: running external updater " + entry.runUrl + "\n";
    return 1;
  }

  bool found = false;
  const std::vector<UpdateComponent> components = ReadComponents(description, &found);
  if (!found) {
    *report += "Error: Malformated update string\n";
    return -1;
  }
  std::vector<UpdaterInstruction> instructions;
  for (const UpdateComponent& component : components) {
    const std::string base = component.BaseName();
    *report += " " + base + " versions: ";
    if (Skipped(component, hidden, env)) {
      *report += "ignored";
      continue;
    }
    const int local =
        base == "zerva" ? programVersion : LocalVersion(env.programFolder + component.name);
    char versions[96];
    std::snprintf(versions, sizeof versions, "server %d, local %d, ", component.version, local);
    *report += std::string(versions) + "\n";
    if (local >= component.version) {
      *report += "up to date\n";
      continue;
    }
    *report += "needs update from " + component.nameZip + " (size " +
               std::to_string(component.sizeZip) + ")\n";
    const std::string zipName = LastPathPart(component.nameZip);
    if (zipName.empty() || zipName == "." || zipName == "..") {
      *report += "Error: Cannot download file " + component.nameZip + "\n";
      return -1;
    }
    const std::string archive = env.tempFolder + zipName;
    const int64_t started = NowMs();
    if (!connection
             .DownloadFileCheckSize(UpdateFilesUrl() + component.nameZip, archive,
                                    component.sizeZip, stop)
             .Ok()) {
      *report += "Error: Cannot download file " + component.nameZip + "\n";
      return -1;
    }
    RecordDownload(archive, started);
    if (component.autoExtract == "true" && *mayWrite) {
      if (!UnpackArchive(archive, env.programFolder)) {
        *report += "Error: Cannot unzip file " + component.nameZip + "\n";
        return -1;
      }
    } else {
      instructions.push_back({archive, env.programFolder});
    }
  }
  if (instructions.empty()) return 0;
  if (!WriteFileAtomic(*launchArgument,
                       UpdaterXml(instructions, env.programFolder + kProgramFileName))) {
    *report += "Error: Cannot create updater XML\n";
    return -1;
  }
  return 1;
}

bool LaunchUpdater(const std::string& folder, const std::string& file, const std::string& argument,
                   bool mayWrite, const UpdateEnvironment& env) {
  Profile& profile = AppProfile();
  const std::time_t now = env.now ? env.now() : std::time(nullptr);
  const std::string last = profile.GetProfileString(profile_keys::kUpdater, profile_keys::kLast);
  const std::string rver = profile.GetProfileString(profile_keys::kUpdater, profile_keys::kRver);
  if (!last.empty()) {
    const long long lastTime = std::atoll(last.c_str());
    // The updater was started for this very version moments ago: do not loop.
    if (lastTime >= 0 && rver == std::to_string(kProgramVersionNumber) && now >= lastTime &&
        now - lastTime <= 10) {
      return false;
    }
  }
  profile.WriteProfileString(profile_keys::kUpdater, profile_keys::kLast, std::to_string(now));
  profile.WriteProfileString(profile_keys::kUpdater, profile_keys::kRver,
                             std::to_string(kProgramVersionNumber));
  const std::string verb = mayWrite ? "open" : "runas";
  std::string work = folder;
  while (work.size() > 1 && work.back() == '/') work.pop_back();
  const auto launch = env.launch ? env.launch : LaunchDetached;
  if (launch(verb, folder + file, argument, work)) return true;
  const int code = errno;
  char line[64];
  std::snprintf(line, sizeof line, "ShellExecuteFailed with %d (%X) ", code,
                static_cast<unsigned>(code));
  TraceText(kTraceError, std::string(line) + WindowsErrorText(code));
  return false;
}

bool CheckUpdate(CHttpConnect& connection, bool hidden, bool* quit, CancelFlag* stop,
                 std::string* report, const UpdateEnvironment& env) {
  *quit = false;
  Dialogs* dialogs = hidden ? nullptr : env.dialogs;
  const std::string waitText = Text("msgCheckNewVersion");
  const std::string waitCaption = MessageCaption(MessageKind::kInformation);
  if (dialogs) dialogs->ShowWait(waitText, waitCaption);
  auto errorBox = [&](const std::string& text) {
    if (!dialogs) return;
    dialogs->HideWait();
    dialogs->ShowMessage(text, MessageKind::kError);
    dialogs->ShowWait(waitText, waitCaption);
  };

  bool ok = false;
  const ApiResult answer = connection.GetUrlToString(UpdateFileListUrl());
  if (answer.Ok() && !answer.value.empty()) {
    std::string launchFolder = env.programFolder;
    std::string launchFile = kUpdaterFileName;
    std::string launchArgument = env.tempFolder + "updater.xml";
    bool mayWrite = false;
    const int result =
        UpdateProgramFiles(answer.value, kProgramVersionNumber, &launchFolder, &launchFile,
                           &launchArgument, &mayWrite, connection, hidden, stop, report, env);
    if (result == 0) {
      ok = true;
    } else if (result == 2) {
      ok = true;
      if (dialogs) {
        dialogs->HideWait();
        dialogs->ShowMessage(Text("msgUpdateFromPackage"), MessageKind::kInformation);
        dialogs->ShowWait(waitText, waitCaption);
      }
    } else if (result == 1) {
      if (LaunchUpdater(launchFolder, launchFile, launchArgument, mayWrite, env)) {
        ok = true;
        *quit = true;
      } else {
        *report += "Error: Cannot launch " + launchFolder + launchFile + "\n";
      }
    } else {
      errorBox(Text("msgUpdatingError"));
      *quit = true;
    }
  } else {
    const long status = std::atol(answer.errorCode.c_str());
    if (status < 400) {
      errorBox(Text("msgUpdatingError"));
    } else {
      std::string domain = ServiceDomainName();
      while (!domain.empty() && domain.back() == '/') domain.pop_back();
      errorBox(
          FillTextPlaceholders(Text("msgHttpError"), {domain, Text("msgError"), answer.errorCode}));
    }
  }
  if (dialogs) dialogs->HideWait();
  return ok;
}

bool LaunchDetached(const std::string& verb, const std::string& program,
                    const std::string& argument, const std::string& workFolder) {
  std::vector<std::string> args;
  if (verb == "runas") {
    const std::string pkexec = FindOnPath("pkexec");
    if (pkexec.empty()) {
      errno = ENOENT;
      return false;
    }
    args.push_back(pkexec);
  }
  args.push_back(program);
  if (!argument.empty()) args.push_back(argument);
  // Our own updater waits for this process to end before it replaces files.
  const size_t slash = program.rfind('/');
  if (program.substr(slash == std::string::npos ? 0 : slash + 1) == kUpdaterFileName) {
    args.push_back("--wait-pid=" + std::to_string(::getpid()));
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, workFolder.c_str());
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    errno = rc;
    return false;
  }
  return true;
}

}  // namespace zerva
