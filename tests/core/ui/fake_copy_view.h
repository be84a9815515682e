// A CopyPageView that records what the upload page shows and holds its timers until the test
// fires them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/copy_page_view.h"

namespace zerva::test {

class FakeCopyView : public CopyPageView {
 public:
  void SetHeader(const std::string& title, const std::string& text) override {
    header = title + "|" + text;
  }
  void SetNavigation(const std::string& /*next*/, const std::string& /*back*/,
                     bool shown) override {
    backShown = shown;
  }
  void SetAlbumLink(const std::string& text) override { link = text; }
  void ShowJob(const std::string& name, CPhoto* item) override {
    jobName = name;
    jobItem = item;
    ++repaints;
  }
  void ShowElapsed(int /*seconds*/, const std::string& text) override { elapsed = text; }
  void ShowRemaining(std::optional<int> seconds, const std::string& text) override {
    remaining = seconds;
    remainingText = text;
  }
  void ShowPercent(int value, const std::string& text) override {
    bar.push_back(value);
    percentText = text;
  }
  void ShowFileProblems(const std::string& text) override {
    problemsText = text;
    if (onProblems) onProblems(text);
  }
  void StartTimer(int milliseconds, std::function<void()> fire) override {
    timerDelays.push_back(milliseconds);
    timers.push_back(std::move(fire));
  }
  void Next() override { ++nexts; }
  void Back() override { ++backs; }
  void UpdateUserBar() override { ++userBarUpdates; }

  // Fires the timers started so far; returns how many.
  int FireTimers() {
    std::vector<std::function<void()>> due;
    due.swap(timers);
    for (auto& fire : due) fire();
    return static_cast<int>(due.size());
  }
  bool Moved() const { return nexts + backs > 0; }

  std::string header;
  bool backShown = true;
  std::string link;
  std::string jobName;
  CPhoto* jobItem = nullptr;
  int repaints = 0;
  std::string elapsed;
  std::optional<int> remaining;
  std::string remainingText;
  std::vector<int> bar;
  std::string problemsText;
  std::function<void(const std::string&)> onProblems;
  std::string percentText;
  std::vector<int> timerDelays;
  std::vector<std::function<void()>> timers;
  int nexts = 0;
  int backs = 0;
  int userBarUpdates = 0;
};

}  // namespace zerva::test
