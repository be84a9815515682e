// The GPS picker's window without a screen: it records what the dialog shows and plays the
// user's actions (the map page's title changes, the buttons) while it "runs".
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/gps_view.h"

namespace zerva {

// What the fake window was told, and the user's actions to play while it "runs".
struct GpsScreen {
  GpsTexts texts;
  bool editControls = false;
  std::vector<std::string> oldTexts;
  std::vector<std::string> newTexts;
  std::vector<std::string> navigated;
  GpsAreaSize area{600, 400};
  int runs = 0;
  // Played in order while the dialog runs; the run ends at the first close the dialog allows.
  std::vector<std::function<void(GpsEvents&)>> script;
  int closeAttempts = 0;
};

class FakeGpsView : public GpsView {
 public:
  explicit FakeGpsView(GpsScreen& screen) : screen_(screen) {}
  void SetEvents(GpsEvents* events) override { events_ = events; }
  void SetTexts(const GpsTexts& texts) override { screen_.texts = texts; }
  void ShowEditControls(bool shown) override { screen_.editControls = shown; }
  void SetOldPosition(const std::string& text) override { screen_.oldTexts.push_back(text); }
  void SetNewPosition(const std::string& text) override { screen_.newTexts.push_back(text); }
  GpsAreaSize MapAreaSize() const override { return screen_.area; }
  void Navigate(const std::string& url) override { screen_.navigated.push_back(url); }
  void RunModal() override {
    ++screen_.runs;
    for (const auto& step : screen_.script) step(*events_);
    // The window's close button until the dialog lets it go (at most a few times).
    for (int i = 0; i < 3; ++i) {
      ++screen_.closeAttempts;
      if (events_->OnCloseRequested()) return;
    }
    ADD_FAILURE() << "the dialog never let its window close";
  }

 private:
  GpsScreen& screen_;
  GpsEvents* events_ = nullptr;
};

}  // namespace zerva
