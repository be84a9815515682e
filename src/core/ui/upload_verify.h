// The check at the end of an upload run: every file an upload job sent must be on the service
// with the size it has here. A file missing or of another size fails its job again.
#pragma once

#include <string>

namespace zerva {

class CHttpConnect;
class CJobsMngr;
struct SessionCredentials;

// Lists the files of `serverDir` (GetUploadedFiles) and compares them with every photo upload
// job of `jobs`; a mismatch sets the job's state to failed, makes the manager's combined result
// a failure and writes one trace line. A listing that cannot be had counts every file as
// missing. Returns how many jobs failed the check.
int VerifyUploads(CJobsMngr& jobs, CHttpConnect& connection, const SessionCredentials& user,
                  const std::string& serverDir);

}  // namespace zerva
