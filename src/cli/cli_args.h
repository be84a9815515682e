// The command line of zerva-cli: its own verbs and options, and the program's switches
// (-usr, -pwd, -lbl, -trace, -noreg, -unins, -delay:, -lst ... -end) with the files of an
// unattended upload, which go on unchanged to the application's command-line parser.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zerva::cli {

enum class Verb {
  kNone,
  kLogin,
  kLogout,
  kAlbums,
  kDelete,
  kSend,
  kOpen,
  kBanners,
  kUpload,
  kPrepare
};

// How questions are answered.
enum class AnswerPolicy {
  kAsk,  // on the terminal when stdin is one, otherwise the declining answer
  kYes,  // the affirmative answer (Yes, OK, Retry)
  kNo,   // the declining answer (No, Cancel)
};

struct CliArgs {
  bool help = false;
  bool version = false;
  Verb verb = Verb::kNone;
  std::vector<std::string> operands;  // the verb's own arguments
  AnswerPolicy answers = AnswerPolicy::kAsk;
  bool remember = false;
  std::optional<int> sortKey;     // an album sort key, 0 to 6
  std::optional<bool> ascending;  // --asc / --desc
  // --web-order KEY[:asc|:desc]: the order of the albums on the user's web page (101 to 105),
  // and its direction when one is given.
  std::optional<int> webOrderKey;
  std::optional<bool> webOrderAscending;
  std::string recipients;              // --to
  std::optional<std::string> subject;  // --subject
  std::optional<std::string> message;  // --message
  std::string albumName;               // --name
  std::string outDir;                  // --out
  bool convertFirst = false;           // --convert-first: videos are converted before they are sent
  std::vector<int> categories;         // --category ID, in order
  // --field KEY=VALUE: values for the forms of those categories, in order.
  std::vector<std::pair<std::string, std::string>> fields;
  bool agree = false;  // --agree: the forms' agreement box
  // --gps LAT,LON: the position of every item that has none, in decimal degrees.
  std::optional<std::pair<double, double>> gps;
  // The program's switches and the unattended upload's files, in their order.
  std::vector<std::string> programArgs;
  // Plain arguments outside a switch's value and outside a list: the unattended upload's
  // files (whether they exist is found out later).
  int uploadArguments = 0;
  bool listGiven = false;  // -lst appeared
  bool uninstall = false;  // -unins appeared
};

// False with `error` for an unknown option, a missing or bad value, or arguments that do not
// fit the verb. `args` excludes the program name.
bool ParseCliArgs(const std::vector<std::string>& args, CliArgs* parsed, std::string* error);

const char* VerbName(Verb verb);
// "LAT,LON" in decimal degrees with a point, blanks allowed around the numbers: latitude within
// ±90, longitude within ±180, not both 0 (that means no position). Nothing otherwise.
std::optional<std::pair<double, double>> ParseGpsPosition(std::string_view text);
// The verb's album identifier (its one operand) for the verbs that take one.
int AlbumIdOperand(const CliArgs& args);

}  // namespace zerva::cli
