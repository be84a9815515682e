#include "ui/upload_verify.h"

#include <map>

#include "app/trace.h"
#include "jobs/job_upload.h"
#include "jobs/jobs_mngr.h"
#include "model/uploaded_files.h"
#include "net/http_connect.h"
#include "platform/fs.h"
#include "session/user_session.h"

namespace zerva {
namespace {

std::string AfterLast(const std::string& text, char separator) {
  const size_t at = text.rfind(separator);
  return at == std::string::npos ? text : text.substr(at + 1);
}

struct Listing {
  const std::map<std::string, int64_t>* files;
  const char* what;  // the start of the trace line
};

// The listing a directory is checked against; none for directories that are not checked.
bool ListingFor(const UploadedFiles& uploaded, const std::string& dir, Listing* listing) {
  if (dir == "images") {
    *listing = {&uploaded.images, "GetUploadedFiles: vadna fotka "};
  } else if (dir == "hdimages") {
    *listing = {&uploaded.hdimages, "GetUploadedFiles: vadna HD fotka "};
  } else if (dir == "thumb") {
    *listing = {&uploaded.thumbs, "GetUploadedFiles: vadny nahled "};
  } else if (dir == "diff") {
    *listing = {&uploaded.diffs, "GetUploadedFiles: vadna zaplata "};
  } else {
    return false;
  }
  return true;
}

}  // namespace

int VerifyUploads(CJobsMngr& jobs, CHttpConnect& connection, const SessionCredentials& user,
                  const std::string& serverDir) {
  UploadedFiles uploaded;
  const ApiResult listed =
      connection.GetUploadedFiles(user.name, user.passwordDigest, user.userId, serverDir);
  if (listed.Ok()) {
    uploaded = ParseUploadedFiles(listed.value);
  } else {
    TraceText(kTraceError, "GetUploadedFiles: chyba");
  }

  int failed = 0;
  for (const auto& [id, job] : jobs.Jobs()) {
    // A file that was never sent is not looked for; its job has failed already.
    if (job->Kind() != kJobKindUpload || job->Hopeless()) continue;
    const auto* upload = dynamic_cast<const CJobUpload*>(job.get());
    if (upload == nullptr) continue;
    const std::string dir = AfterLast(upload->Directory(), '/');
    Listing listing{};
    if (!ListingFor(uploaded, dir, &listing)) continue;
    const std::string name = AfterLast(upload->Path(), '/');
    const int64_t local = FileSize(upload->Path());
    const auto found = listing.files->find(name);
    const int64_t server = found == listing.files->end() ? 0 : found->second;
    if (server > 0 && server == local) continue;

    job->SetState(kJobFailed);
    const std::string line = listing.what + dir + "/" + name + " (server " +
                             std::to_string(server) + " B, klient " + std::to_string(local) +
                             " B )";
    TraceText(kTraceError, line);
    jobs.CombineResult(ApiResult::Failure(line));
    ++failed;
  }
  return failed;
}

}  // namespace zerva
