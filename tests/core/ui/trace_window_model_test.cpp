// What the trace window lists: the prefix, the level filter and the 200-entry limit.
#include "ui/trace_window_model.h"

#include <gtest/gtest.h>

#include "app/trace.h"

namespace zerva {
namespace {

std::tm Noon() {
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 7;
  local.tm_hour = 12;
  local.tm_min = 5;
  return local;
}

TEST(TraceWindowModel, LinesCarryTheLogPrefixWithoutLineBreaks) {
  TraceWindowModel model;
  model.Add(MakeTraceTag(5, 0x1a2b), "first\r\nsecond\n", Noon(), 123450);
  ASSERT_EQ(model.Visible().size(), 1u);
  EXPECT_EQ(model.Visible()[0]->level, 5);
  EXPECT_EQ(model.Visible()[0]->line, "(05) (1a2b) 2024-03-07 12:05:03.45 firstsecond");
}

TEST(TraceWindowModel, ShowsLevelsUpToTheChosenOne) {
  TraceWindowModel model;
  EXPECT_EQ(model.Level(), 10);
  for (const int level : {1, 5, 10}) model.Add(MakeTraceTag(level, 1), "m", Noon(), 0);
  EXPECT_EQ(model.Visible().size(), 3u);
  model.SetLevel(5);
  EXPECT_EQ(model.Visible().size(), 2u);
  model.SetLevel(1);
  ASSERT_EQ(model.Visible().size(), 1u);
  EXPECT_EQ(model.Visible()[0]->level, 1);
  // Out of range choices are held to the list.
  model.SetLevel(0);
  EXPECT_EQ(model.Level(), 1);
  model.SetLevel(11);
  EXPECT_EQ(model.Level(), 10);
}

TEST(TraceWindowModel, KeepsTheNewest200) {
  TraceWindowModel model;
  for (int i = 0; i < 205; ++i) {
    model.Add(MakeTraceTag(10, 1), "line " + std::to_string(i), Noon(), 0);
  }
  EXPECT_EQ(model.Size(), kTraceWindowEntries);
  const auto shown = model.Visible();
  EXPECT_NE(shown.front()->line.find("line 5"), std::string::npos);
  EXPECT_NE(shown.back()->line.find("line 204"), std::string::npos);
}

TEST(TraceWindowModel, TitleAndLevelChoices) {
  EXPECT_EQ(TraceWindowTitle().rfind("Trace - WinVer ", 0), 0u);
  const std::vector<std::string> levels = TraceLevelChoices();
  ASSERT_EQ(levels.size(), 10u);
  EXPECT_EQ(levels[0], "1 (error)");
  EXPECT_EQ(levels[4], "5 (warning)");
  EXPECT_EQ(levels[9], "10 (notice)");
  EXPECT_EQ(levels[1], "2");
}

}  // namespace
}  // namespace zerva
