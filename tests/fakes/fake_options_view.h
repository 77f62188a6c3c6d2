// The Options dialog on paper: what the form asked each control to show, the
// dialog's visibility, the timer, and a scripted program picker. It has its
// window from the start unless made without one; then the form makes it at
// the first showing, and anything told before counts as a fault.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "settings/options_view.h"

namespace varnolet::fakes {

class FakeOptionsView final : public OptionsView {
 public:
  explicit FakeOptionsView(bool windowAtStart = true) : hasWindow(windowAtStart) {}
  struct Shown {
    std::u16string text;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    std::vector<std::u16string> items;
    int selected = -1;
    int left = 0;
    int width = 0;
  };

  const Shown& operator[](OptionsControl control) const {
    return controls[static_cast<std::size_t>(control)];
  }

  bool HasWindow() const override { return hasWindow; }
  void MakeWindow() override {
    ++windowsMade;
    hasWindow = true;
  }
  void ShowDialog() override {
    Told();
    ++showCalls;
    dialogVisible = true;
  }
  void HideDialog() override {
    Told();
    dialogVisible = false;
  }
  void HideApplicationWindow() override {
    Told();
    ++applicationHidden;
  }
  void SetText(OptionsControl control, const std::u16string& text) override { At(control).text = text; }
  void SetCategoryText(int category, const std::u16string& text) override {
    Told();
    categories[static_cast<std::size_t>(category)] = text;
  }
  void SetChecked(OptionsControl control, bool checked) override { At(control).checked = checked; }
  void SetEnabled(OptionsControl control, bool enabled) override { At(control).enabled = enabled; }
  void SetVisible(OptionsControl control, bool visible) override { At(control).visible = visible; }
  void SetItems(OptionsControl list, const std::vector<std::u16string>& items) override {
    At(list).items = items;
    At(list).selected = -1;
  }
  void SetItemText(OptionsControl list, int index, const std::u16string& text) override {
    At(list).items.at(static_cast<std::size_t>(index)) = text;
  }
  void SelectItem(OptionsControl list, int index) override { At(list).selected = index; }
  void SelectCategory(int category) override {
    Told();
    selectedCategory = category;
  }
  void BringToFront(OptionsControl page) override {
    Told();
    frontPage = page;
  }
  void SetLeft(OptionsControl control, int left) override { At(control).left = left; }
  void SetClientWidth(OptionsControl control, int width) override { At(control).width = width; }
  void StartTimer(std::uint32_t intervalMs) override {
    Told();
    timerRunning = true;
    timerInterval = intervalMs;
  }
  void StopTimer() override {
    Told();
    timerRunning = false;
  }
  bool PickProgram(const std::u16string& title, const std::u16string& filter, std::u16string& path) override {
    Told();
    pickerTitles.push_back(title);
    pickerFilters.push_back(filter);
    if (picks.empty()) return false;
    const std::u16string next = picks.front();
    picks.pop_front();
    if (next.empty()) return false;  // an empty entry is a cancel
    path = next;
    return true;
  }
  void ShowMessage(const std::u16string& text) override {
    Told();
    messages.push_back(text);
  }
  void OpenAddress(const std::u16string& address) override {
    Told();
    addresses.push_back(address);
  }

  bool hasWindow;
  int windowsMade = 0;
  // Calls that would have reached a window that did not exist.
  int toldWithoutWindow = 0;
  std::array<Shown, kOptionsControlCount> controls{};
  std::array<std::u16string, 5> categories;
  int selectedCategory = 0;
  OptionsControl frontPage = OptionsControl::GroupBoxGeneral;
  bool dialogVisible = false;
  int showCalls = 0;
  int applicationHidden = 0;
  bool timerRunning = false;
  std::uint32_t timerInterval = 0;
  // The picker's answers in turn: a path, or "" for Cancel; Cancel when none is left.
  std::deque<std::u16string> picks;
  std::vector<std::u16string> pickerTitles;
  std::vector<std::u16string> pickerFilters;
  std::vector<std::u16string> messages;
  std::vector<std::u16string> addresses;

 private:
  void Told() {
    if (!hasWindow) ++toldWithoutWindow;
  }
  Shown& At(OptionsControl control) {
    Told();
    return controls[static_cast<std::size_t>(control)];
  }
};

}  // namespace varnolet::fakes
