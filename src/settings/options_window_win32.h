// The Win32 view of the Options dialog: a dialog-bordered window without
// caption buttons, the category column at the left over five stacked pages,
// OK and Cancel. It shows what TOptionsForm tells it and hands the user's
// clicks and choices to the form's entry points through its handlers.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "settings/options_view.h"
#include "ui/controls_win32.h"
#include "ui/window_win32.h"

namespace varnolet {

class OptionsWindow final : public OptionsView {
 public:
  // What the user does, for the form.
  struct Handlers {
    std::function<void(int category)> categorySelected;
    std::function<void(OptionsControl box, bool checked)> checkClicked;
    std::function<void(OptionsControl list, int index)> listSelected;
    // OK, Cancel (also Esc and Alt+F4), the program and clear buttons, the two links.
    std::function<void(OptionsControl button)> buttonClicked;
    std::function<void()> timer;
    std::function<void()> activated;
  };

  // `owner`: the application's own window (no taskbar button for the dialog).
  // The window and its controls are made by MakeWindow (the form calls it at
  // the dialog's first showing), not here.
  explicit OptionsWindow(HWND owner);
  ~OptionsWindow() override;
  OptionsWindow(const OptionsWindow&) = delete;
  OptionsWindow& operator=(const OptionsWindow&) = delete;

  Handlers handlers;

  HWND Handle() const { return window_.Handle(); }
  int Dpi() const { return dpi_; }
  bool Visible() const;
  // The window of a control (for the category column: its frame); of a
  // category's button.
  HWND ControlHandle(OptionsControl control) const;
  HWND CategoryButton(int category) const { return categories_.ButtonHandle(category); }

  // OptionsView
  bool HasWindow() const override { return window_.Handle() != nullptr; }
  void MakeWindow() override;
  void ShowDialog() override;
  void HideDialog() override;
  void HideApplicationWindow() override;
  void SetText(OptionsControl control, const std::u16string& text) override;
  void SetCategoryText(int category, const std::u16string& text) override;
  void SetChecked(OptionsControl control, bool checked) override;
  void SetEnabled(OptionsControl control, bool enabled) override;
  void SetVisible(OptionsControl control, bool visible) override;
  void SetItems(OptionsControl list, const std::vector<std::u16string>& items) override;
  void SetItemText(OptionsControl list, int index, const std::u16string& text) override;
  void SelectItem(OptionsControl list, int index) override;
  void SelectCategory(int category) override;
  void BringToFront(OptionsControl page) override;
  void SetLeft(OptionsControl control, int left) override;
  void SetClientWidth(OptionsControl control, int width) override;
  void StartTimer(std::uint32_t intervalMs) override;
  void StopTimer() override;
  bool PickProgram(const std::u16string& title, const std::u16string& filter, std::u16string& path) override;
  void ShowMessage(const std::u16string& text) override;
  void OpenAddress(const std::u16string& address) override;

 private:
  enum class Kind { Page, Check, List, Label, Field, Button, PictureButton, Link, Picture };

  void Build();
  void CreateFonts();
  void ApplyFonts();
  void PlaceAll();
  void ResizeToClient();
  void Centre();
  HWND ParentOf(OptionsControl page) const;
  ui::Control* Find(OptionsControl control) const;
  ui::Control* FindById(int id) const;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  HWND owner_;
  ui::Window window_;
  ui::Timer timer_{window_, 1, 1000};
  int dpi_ = 120;
  int clientWidth_ = 600;  // design pixels
  HFONT font_ = nullptr;
  HFONT italic_ = nullptr;
  HFONT title_ = nullptr;
  ui::CategoryList categories_;
  std::vector<std::unique_ptr<ui::Control>> owned_;
  std::array<ui::Control*, kOptionsControlCount> controls_{};
  std::array<Kind, kOptionsControlCount> kinds_{};
  std::vector<ui::Page*> pages_;
  HWND focus_ = nullptr;
};

}  // namespace varnolet
