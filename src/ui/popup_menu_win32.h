// The tray icon's popup menu: two device submenus, a separator, Options and Exit.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace varnolet::ui {

class PopupMenu {
 public:
  struct Item {
    std::wstring caption;
    UINT command = 0;  // 0: a placeholder that does nothing
    bool checked = false;
    bool enabled = true;
  };

  static constexpr UINT kOptions = 1;
  static constexpr UINT kExit = 2;

  PopupMenu();
  ~PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  void SetCaptions(const std::wstring& playback, const std::wstring& recording, const std::wstring& options,
                   const std::wstring& exit);
  // Replaces the items of submenu 0 (playback) or 1 (recording).
  void SetItems(int submenu, const std::vector<Item>& items);
  // Opens the menu at the cursor, the owner brought to the foreground first;
  // the chosen command, 0 when none.
  UINT Track(HWND owner);
  // Submenu 0 (playback) or 1 (recording), for reading back what it holds.
  HMENU Submenu(int submenu) const { return submenus_[submenu == 0 ? 0 : 1]; }

 private:
  void SetCaption(UINT position, const std::wstring& caption);

  HMENU menu_;
  HMENU submenus_[2];
};

}  // namespace varnolet::ui
