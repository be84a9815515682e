// Placeholders until the upload session arrives: the verbs are parsed, signed in and routed,
// and say plainly that this build cannot carry them out.
#include "cli/upload_verbs.h"

#include "cli/cli_status.h"

namespace zerva::cli {
namespace {

int NotAvailable(CliContext& context, const char* verb) {
  std::fprintf(context.err, "zerva-cli: '%s' is not available in this build yet\n", verb);
  return kExitNotAvailable;
}

}  // namespace

int RunUploadFolder(CliContext& context, const std::string& /*folder*/,
                    const std::string& /*albumName*/) {
  return NotAvailable(context, "upload");
}

int RunUnattendedUpload(CliContext& context) {
  return NotAvailable(context, "unattended upload");
}

int RunPrepare(CliContext& context, const std::string& /*outDir*/,
               const std::vector<std::string>& /*files*/) {
  return NotAvailable(context, "prepare");
}

}  // namespace zerva::cli
