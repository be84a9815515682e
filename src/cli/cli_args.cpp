#include "cli/cli_args.h"

#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "app/cmd_line_info.h"
#include "ui/album_list_order.h"
#include "ui/album_mail.h"

namespace zerva::cli {
namespace {

constexpr std::pair<const char*, Verb> kVerbs[] = {
    {"login", Verb::kLogin},     {"logout", Verb::kLogout}, {"albums", Verb::kAlbums},
    {"delete", Verb::kDelete},   {"send", Verb::kSend},     {"open", Verb::kOpen},
    {"banners", Verb::kBanners}, {"upload", Verb::kUpload}, {"prepare", Verb::kPrepare}};

// KEY or KEY:asc or KEY:desc, KEY one of the service's names of the web page orders.
bool ParseWebOrder(const std::string& text, CliArgs* out) {
  const size_t colon = text.find(':');
  const std::string name = text.substr(0, colon);
  const std::optional<int> key = PageOrderKeyFromName(name);
  if (!key) return false;
  out->webOrderKey = key;
  out->webOrderAscending.reset();
  if (colon == std::string::npos) return true;
  const std::string direction = text.substr(colon + 1);
  if (direction != "asc" && direction != "desc") return false;
  out->webOrderAscending = direction == "asc";
  return true;
}

// The switch word of a program switch ("usr" for "-usr", "--usr" or "/usr"); empty otherwise.
std::string ProgramSwitchWord(std::string_view arg) {
  if (arg.empty() || (arg[0] != '-' && arg[0] != '/')) return {};
  std::string_view word = arg.substr(1);
  while (!word.empty() && word[0] == '-') word.remove_prefix(1);
  const CmdLineSwitch* known = FindCmdLineSwitch(word);
  return known ? std::string(known->word) : std::string();
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::optional<Verb> VerbOf(std::string_view word) {
  for (const auto& [name, verb] : kVerbs) {
    if (word == name) return verb;
  }
  return std::nullopt;
}

bool IsPositiveNumber(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return std::atoi(text.c_str()) > 0;
}

class Parser {
 public:
  Parser(const std::vector<std::string>& args, CliArgs* parsed) : args_(args), out_(*parsed) {}

  bool Run(std::string* error) {
    for (index_ = 0; index_ < args_.size(); ++index_) {
      const std::string& arg = args_[index_];
      if (afterDashes_ || arg.empty()) {
        Plain(arg);
      } else if (arg == "--") {
        afterDashes_ = true;
      } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0 && LongOption(arg, error)) {
        if (!error->empty()) return false;
      } else if (arg == "-h") {
        out_.help = true;
      } else if (arg[0] == '-' || (arg[0] == '/' && !PathExists(arg))) {
        const std::string word = ProgramSwitchWord(arg);
        if (!word.empty()) {
          ProgramSwitch(arg, word);
        } else if (arg[0] == '-') {
          *error = "unknown option '" + arg + "'";
          return false;
        } else {
          Plain(arg);
        }
      } else {
        Plain(arg);
      }
    }
    return Check(error);
  }

 private:
  // True when `arg` is one of our long options (`error` set when its value is bad).
  bool LongOption(const std::string& arg, std::string* error) {
    const size_t equals = arg.find('=');
    const std::string name =
        arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    // An empty value is refused unless `mayBeEmpty` (an empty subject is a choice).
    auto value = [&](std::string* into, bool mayBeEmpty = false) {
      if (equals != std::string::npos) {
        *into = arg.substr(equals + 1);
      } else if (index_ + 1 < args_.size()) {
        *into = args_[++index_];
      } else {
        *error = "option '--" + name + "' needs a value";
        return false;
      }
      if (into->empty() && !mayBeEmpty) *error = "option '--" + name + "' needs a value";
      return error->empty();
    };
    auto flag = [&](bool* into) {
      if (equals != std::string::npos) *error = "option '--" + name + "' takes no value";
      *into = true;
      return true;
    };
    bool yes = false, no = false, asc = false, desc = false;
    if (name == "help") return flag(&out_.help);
    if (name == "version") return flag(&out_.version);
    if (name == "remember") return flag(&out_.remember);
    if (name == "convert-first") return flag(&out_.convertFirst);
    if (name == "agree") return flag(&out_.agree);
    if (name == "category") {
      std::string id;
      if (!value(&id)) return true;
      const bool digits = id.find_first_not_of("0123456789") == std::string::npos;
      if (!digits || id.size() > 9 || std::stoi(id) <= 0) {
        *error = "--category needs a category number, not '" + id + "'";
        return true;
      }
      out_.categories.push_back(std::stoi(id));
      return true;
    }
    if (name == "gps") {
      std::string position;
      if (!value(&position)) return true;
      out_.gps = ParseGpsPosition(position);
      if (!out_.gps) {
        *error = "--gps needs LAT,LON in decimal degrees (such as 49.195,16.607), not '" +
                 position + "'";
      }
      return true;
    }
    if (name == "field") {
      std::string field;
      if (!value(&field)) return true;
      const size_t sign = field.find('=');
      if (sign == std::string::npos || sign == 0) {
        *error = "--field needs KEY=VALUE, not '" + field + "'";
        return true;
      }
      out_.fields.emplace_back(field.substr(0, sign), field.substr(sign + 1));
      return true;
    }
    if (name == "yes" || name == "no") {
      flag(name == "yes" ? &yes : &no);
      const AnswerPolicy policy = yes ? AnswerPolicy::kYes : AnswerPolicy::kNo;
      if (out_.answers != AnswerPolicy::kAsk && out_.answers != policy) {
        *error = "--yes and --no exclude each other";
      }
      out_.answers = policy;
      return true;
    }
    if (name == "asc" || name == "desc") {
      flag(name == "asc" ? &asc : &desc);
      if (out_.ascending && *out_.ascending != asc) *error = "--asc and --desc exclude each other";
      out_.ascending = asc;
      return true;
    }
    if (name == "sort") {
      std::string key;
      if (!value(&key)) return true;
      out_.sortKey = AlbumSortKeyFromName(key);
      if (!out_.sortKey) {
        *error =
            "unknown sort key '" + key + "' (name, created, modified, count, size, from or to)";
      }
      return true;
    }
    if (name == "web-order") {
      std::string order;
      if (!value(&order)) return true;
      if (!ParseWebOrder(order, &out_)) {
        *error = "unknown web page order '" + order +
                 "' (createDate, viewCount, albumName, date or lastComment, optionally followed "
                 "by :asc or :desc)";
      }
      return true;
    }
    if (name == "to") {
      value(&out_.recipients);
      return true;
    }
    if (name == "subject" || name == "message") {
      std::string text;
      if (value(&text, true)) (name == "subject" ? out_.subject : out_.message) = text;
      return true;
    }
    if (name == "name") {
      value(&out_.albumName);
      return true;
    }
    if (name == "out") {
      value(&out_.outDir);
      return true;
    }
    // Not ours: a program switch written with two hyphens ("--trace"), or unknown.
    return false;
  }

  void ProgramSwitch(const std::string& arg, const std::string& word) {
    out_.programArgs.push_back(arg);
    if (word == "usr" || word == "pwd" || word == "lbl") pending_ = true;
    if (word == "lst") {
      listMode_ = true;
      out_.listGiven = true;
    }
    if (word == "end") listMode_ = false;
    if (word == "unins") out_.uninstall = true;
  }

  void Plain(const std::string& arg) {
    if (listMode_ || pending_) {
      out_.programArgs.push_back(arg);
      pending_ = false;
      return;
    }
    if (out_.verb == Verb::kNone && out_.uploadArguments == 0) {
      if (const std::optional<Verb> verb = VerbOf(arg)) {
        out_.verb = *verb;
        return;
      }
    }
    if (out_.verb != Verb::kNone) {
      out_.operands.push_back(arg);
    } else {
      out_.programArgs.push_back(arg);
      ++out_.uploadArguments;
    }
  }

  bool Check(std::string* error) {
    if (out_.help || out_.version) return true;
    const Verb verb = out_.verb;
    const std::string name = VerbName(verb);
    auto fail = [&](std::string text) {
      *error = std::move(text);
      return false;
    };
    if (out_.sortKey && verb != Verb::kAlbums) return fail("--sort applies to 'albums' only");
    if (out_.ascending && verb != Verb::kAlbums) {
      return fail("--asc and --desc apply to 'albums' only");
    }
    if (out_.webOrderKey && verb != Verb::kAlbums) {
      return fail("--web-order applies to 'albums' only");
    }
    if ((!out_.recipients.empty() || out_.subject || out_.message) && verb != Verb::kSend) {
      return fail("--to, --subject and --message apply to 'send' only");
    }
    if (!out_.albumName.empty() && verb != Verb::kUpload) {
      return fail("--name applies to 'upload' only");
    }
    if (out_.gps && verb != Verb::kUpload) return fail("--gps applies to 'upload' only");
    if ((!out_.categories.empty() || !out_.fields.empty() || out_.agree) && verb != Verb::kUpload) {
      return fail("--category, --field and --agree apply to 'upload' only");
    }
    if ((!out_.fields.empty() || out_.agree) && out_.categories.empty()) {
      return fail("--field and --agree go with --category");
    }
    if (!out_.outDir.empty() && verb != Verb::kPrepare) {
      return fail("--out applies to 'prepare' only");
    }
    if (out_.remember && verb != Verb::kLogin) return fail("--remember applies to 'login' only");
    if (out_.convertFirst && verb != Verb::kUpload && verb != Verb::kNone) {
      return fail("--convert-first applies to uploads only");
    }
    if (verb != Verb::kNone && out_.uploadArguments > 0) {
      return fail("files for an upload cannot come before the verb '" + name + "'");
    }
    switch (verb) {
      case Verb::kNone:
        if (out_.uploadArguments == 0 && !out_.listGiven && !out_.uninstall) {
          return fail("nothing to do: give a verb, or files to upload");
        }
        return true;
      case Verb::kLogin:
      case Verb::kLogout:
      case Verb::kAlbums:
        if (!out_.operands.empty()) {
          return fail("'" + name + "' takes no arguments ('" + out_.operands[0] + "')");
        }
        return true;
      case Verb::kDelete:
      case Verb::kOpen:
      case Verb::kBanners:
      case Verb::kSend:
        if (out_.operands.size() != 1 || !IsPositiveNumber(out_.operands[0])) {
          return fail("'" + name + "' needs one album identifier (a positive number)");
        }
        if (verb == Verb::kSend) return CheckRecipients(error);
        return true;
      case Verb::kUpload:
        if (out_.operands.size() != 1) return fail("'upload' needs one folder");
        return true;
      case Verb::kPrepare:
        if (out_.outDir.empty()) return fail("'prepare' needs --out DIR");
        if (out_.operands.empty()) return fail("'prepare' needs at least one file");
        return true;
    }
    return true;
  }

  // The send page's rule: its Next button stays disabled until the field looks like an address.
  bool CheckRecipients(std::string* error) {
    if (out_.recipients.empty()) {
      *error = "'send' needs --to ADDRESSES";
      return false;
    }
    if (!RecipientsLookValid(out_.recipients) || SplitRecipients(out_.recipients).empty()) {
      *error = "--to '" + out_.recipients +
               "' holds no valid e-mail address (two characters before the @, two between "
               "it and the next dot, two after that dot)";
      return false;
    }
    return true;
  }

  const std::vector<std::string>& args_;
  CliArgs& out_;
  size_t index_ = 0;
  bool afterDashes_ = false;
  bool pending_ = false;
  bool listMode_ = false;
};

}  // namespace

bool ParseCliArgs(const std::vector<std::string>& args, CliArgs* parsed, std::string* error) {
  *parsed = CliArgs();
  error->clear();
  return Parser(args, parsed).Run(error);
}

std::optional<std::pair<double, double>> ParseGpsPosition(std::string_view text) {
  // from_chars reads a point whatever the process's locale says.
  auto number = [](std::string_view part, double* out) {
    const size_t first = part.find_first_not_of(' ');
    const size_t last = part.find_last_not_of(' ');
    if (first == std::string_view::npos) return false;
    part = part.substr(first, last - first + 1);
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), *out);
    return error == std::errc() && end == part.data() + part.size() && std::isfinite(*out);
  };
  const size_t comma = text.find(',');
  double latitude = 0, longitude = 0;
  if (comma == std::string_view::npos || !number(text.substr(0, comma), &latitude) ||
      !number(text.substr(comma + 1), &longitude)) {
    return std::nullopt;
  }
  if (std::fabs(latitude) > 90 || std::fabs(longitude) > 180) return std::nullopt;
  if (latitude == 0 && longitude == 0) return std::nullopt;
  return std::make_pair(latitude, longitude);
}

const char* VerbName(Verb verb) {
  for (const auto& [name, known] : kVerbs) {
    if (known == verb) return name;
  }
  return "";
}

int AlbumIdOperand(const CliArgs& args) {
  return args.operands.empty() ? 0 : std::atoi(args.operands[0].c_str());
}

}  // namespace zerva::cli
