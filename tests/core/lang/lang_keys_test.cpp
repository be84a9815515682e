// The shipped language files against the code: every key looked up in src/ must be in both
// files, and the two files must agree on keys and on printf placeholders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lang/language_file.h"

namespace zerva {
namespace {

const char* const kShippedFiles[] = {"zerva-en-us.lng", "zerva-cs.lng"};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string LangFilePath(const std::string& name) {
  return std::string(ZERVA_SOURCE_DIR) + "/lang/" + name;
}

TextMap ParseShipped(const std::string& name, int* version) {
  TextMap map;
  *version = ParseLanguageText(ReadFile(LangFilePath(name)), map);
  return map;
}

// The conversions of a printf format in order ("%s", "%d", ...); "%%" is not one.
std::vector<std::string> Placeholders(const std::string& format) {
  std::vector<std::string> result;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    size_t j = i + 1;
    if (j < format.size() && format[j] == '%') {
      i = j;
      continue;
    }
    while (j < format.size() &&
           std::string_view("-+ #0123456789.hlzjt").find(format[j]) != std::string_view::npos) {
      ++j;
    }
    result.push_back(format.substr(i, j - i + 1));
    i = j;
  }
  return result;
}

TEST(ShippedLanguageFiles, ParseWithVersionAndSpecialKeys) {
  const std::pair<const char*, int> expected[] = {{"zerva-en-us.lng", 1033},
                                                  {"zerva-cs.lng", 1029}};
  for (const auto& [name, locationId] : expected) {
    int version = 0;
    const TextMap map = ParseShipped(name, &version);
    EXPECT_GE(version, 1) << name;
    EXPECT_EQ(LanguageNumber(map, "locationID"), locationId) << name;
    const auto months = map.find("monthNames");
    ASSERT_NE(months, map.end()) << name;
    std::vector<std::string> names;
    std::stringstream list(months->second);
    for (std::string month; std::getline(list, month, ',');) names.push_back(month);
    EXPECT_EQ(names.size(), 12u) << name;
    for (const std::string& month : names) EXPECT_FALSE(month.empty()) << name;
    for (const char* key : {"msgInfo", "msgWarning", "msgError"}) {
      EXPECT_TRUE(map.count(key) && !map.at(key).empty()) << name << ": " << key;
    }
  }
}

TEST(ShippedLanguageFiles, EveryLineIsATextACommentOrTheMarker) {
  for (const char* name : kShippedFiles) {
    std::istringstream in(ReadFile(LangFilePath(name)));
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string beforeComment = line.substr(0, line.find("//"));
      if (beforeComment.find_first_not_of(" \t") == std::string::npos) continue;
      if (line == "<**EndLangFile**>") continue;
      const size_t equals = beforeComment.find('=');
      EXPECT_TRUE(equals != std::string::npos && equals > 0)
          << name << ":" << number << " is not key=value: " << line;
      // A "//" in a value would silently cut it.
      EXPECT_EQ(line.find("//"), std::string::npos)
          << name << ":" << number << " has a comment after a text: " << line;
    }
  }
}

TEST(ShippedLanguageFiles, AgreeOnKeysAndPlaceholders) {
  int version = 0;
  const TextMap english = ParseShipped("zerva-en-us.lng", &version);
  const TextMap czech = ParseShipped("zerva-cs.lng", &version);
  for (const auto& [key, value] : english) {
    const auto other = czech.find(key);
    if (other == czech.end()) {
      ADD_FAILURE() << "\"" << key << "\" is in zerva-en-us.lng but not in zerva-cs.lng";
      continue;
    }
    EXPECT_EQ(Placeholders(value), Placeholders(other->second)) << key;
  }
  for (const auto& [key, value] : czech) {
    EXPECT_TRUE(english.count(key))
        << "\"" << key << "\" is in zerva-cs.lng but not in zerva-en-us.lng";
  }
}

TEST(ShippedLanguageFiles, CoverEveryKeyTheCodeLooksUp) {
  int version = 0;
  const TextMap files[] = {ParseShipped(kShippedFiles[0], &version),
                           ParseShipped(kShippedFiles[1], &version)};
  const std::regex lookup(R"re(\bText\("([A-Za-z0-9_]+)"\))re");
  const std::filesystem::path source = std::filesystem::path(ZERVA_SOURCE_DIR) / "src";
  ASSERT_TRUE(std::filesystem::is_directory(source)) << source;

  std::set<std::string> keys;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(source)) {
    if (!entry.is_regular_file()) continue;
    const std::string text = ReadFile(entry.path());
    for (auto it = std::sregex_iterator(text.begin(), text.end(), lookup);
         it != std::sregex_iterator(); ++it) {
      const std::string key = (*it)[1];
      keys.insert(key);
      for (size_t f = 0; f < std::size(kShippedFiles); ++f) {
        EXPECT_TRUE(files[f].count(key))
            << "key \"" << key << "\" used in "
            << std::filesystem::relative(entry.path(), ZERVA_SOURCE_DIR).string()
            << " is missing from lang/" << kShippedFiles[f];
      }
    }
  }
  // The message-box captions are looked up in src/ for sure; finding none means the scan broke.
  EXPECT_TRUE(keys.count("msgInfo"));
}

}  // namespace
}  // namespace zerva
