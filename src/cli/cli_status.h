// The exit statuses of zerva-cli, one per class of failure, as --help lists them.
#pragma once

namespace zerva::cli {

enum ExitStatus : int {
  kExitOk = 0,
  kExitFailed = 1,          // the verb failed: the service refused or a file could not be used
  kExitUsage = 2,           // the command line is not understood
  kExitLocalFiles = 3,      // the program's own language files are missing
  kExitUnreachable = 4,     // the service cannot be reached (connection test failed)
  kExitServiceMessage = 5,  // the service's message stops the program
  kExitUpdate = 6,          // the update check failed, or an update is being installed
  kExitSignIn = 7,          // no credentials, refused sign-in, or the account is in use elsewhere
  kExitDeclined = 8,        // a question was answered No (or had no answer)
  kExitNotFound = 9,        // no album with that identifier
};

}  // namespace zerva::cli
