#include "ui/popup_menu_win32.h"

#include "ui/window_win32.h"

namespace varnolet::ui {

PopupMenu::PopupMenu() : menu_(CreatePopupMenu()), submenus_{CreatePopupMenu(), CreatePopupMenu()} {
  AppendMenuW(menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenus_[0]), L"Playback");
  AppendMenuW(menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenus_[1]), L"Recording");
  AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu_, MF_STRING, kOptions, L"Options");
  AppendMenuW(menu_, MF_STRING, kExit, L"Exit");
}

PopupMenu::~PopupMenu() {
  DestroyMenu(menu_);
}  // destroys the submenus with it

void PopupMenu::SetCaption(UINT position, const std::wstring& caption) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
  SetMenuItemInfoW(menu_, position, TRUE, &info);
}

void PopupMenu::SetCaptions(const std::wstring& playback, const std::wstring& recording,
                            const std::wstring& options, const std::wstring& exit) {
  SetCaption(0, playback);
  SetCaption(1, recording);
  SetCaption(3, options);
  SetCaption(4, exit);
}

void PopupMenu::SetItems(int submenu, const std::vector<Item>& items) {
  HMENU menu = submenus_[submenu == 0 ? 0 : 1];
  for (int count = GetMenuItemCount(menu); count > 0; --count)
    DeleteMenu(menu, static_cast<UINT>(count - 1), MF_BYPOSITION);
  for (const Item& item : items) {
    UINT flags = MF_STRING;
    if (item.checked) flags |= MF_CHECKED;
    if (!item.enabled) flags |= MF_GRAYED;
    AppendMenuW(menu, flags, item.command, item.caption.c_str());
  }
}

UINT PopupMenu::Track(HWND owner) {
  // The foreground dance: without it the menu does not close when the user
  // clicks elsewhere.
  SetForegroundWindow(owner);
  ProcessMessages();
  POINT cursor;
  GetCursorPos(&cursor);
  const UINT command = static_cast<UINT>(TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                                        cursor.x, cursor.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return command;
}

}  // namespace varnolet::ui
