// A category form's window without a screen: the controls are a FakePageView, the red frames
// and the focus are recorded, and the modal run plays a script of what the user does.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/ui/page_fakes.h"
#include "ui/category_form_view.h"

namespace zerva::test {

class FakeFormView : public CategoryFormView {
 public:
  PageView& Controls() override { return controls; }
  void Build(const std::string& caption, const std::vector<FormControl>& entries) override {
    this->caption = caption;
    this->entries = entries;
    // As a window shows them: texts and tooltips as described.
    for (const FormControl& entry : entries) {
      controls.controls[entry.id].text = entry.text;
      controls.controls[entry.id].tooltip = entry.tooltip;
    }
    ++builds;
  }
  void SetFramed(int control, bool isFramed) override {
    if (isFramed) {
      framed.insert(control);
    } else {
      framed.erase(control);
    }
  }
  int FocusedControl() const override { return controls.focus; }
  bool RunModal(CategoryFormEvents& formEvents) override {
    events = &formEvents;
    controls.events = &formEvents;
    closed = false;
    if (script) script(*this);
    controls.events = nullptr;
    events = nullptr;
    return closed && closedWithOk;
  }
  void Close(bool ok) override {
    closed = true;
    closedWithOk = ok;
  }

  // --- What the user does ---
  void FocusOn(int control) {
    const int old = controls.focus;
    if (old != 0 && events != nullptr) events->OnFocus(old, false);
    controls.focus = control;
    if (control != 0 && events != nullptr) events->OnFocus(control, true);
  }
  void Type(int control, const std::string& text) { controls.Type(control, text); }
  void Check(int control, bool checked) { controls.Check(control, checked); }
  void Choose(int control, int index) { controls.Choose(control, index); }
  void Click(int control) { controls.Click(control); }

  const FormControl* Entry(int id) const {
    for (const FormControl& entry : entries) {
      if (entry.id == id) return &entry;
    }
    return nullptr;
  }
  bool OkEnabled() const { return controls.Enabled(kFormOk); }
  std::string TextOf(int control) const { return controls.GetText(control); }

  FakePageView controls;
  std::function<void(FakeFormView&)> script;
  CategoryFormEvents* events = nullptr;
  std::string caption;
  std::vector<FormControl> entries;
  std::set<int> framed;
  int builds = 0;
  bool closed = false;
  bool closedWithOk = false;
};

}  // namespace zerva::test
