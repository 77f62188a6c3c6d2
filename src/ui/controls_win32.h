// The dialog controls of the form toolkit: one small class per kind, made
// from an arguments struct, reporting through handler members. Positions and
// sizes are design pixels (120 dpi); a control keeps them and places itself
// at the dpi its parent gives it, so a dpi change only calls Place again.
//
// Texts are shown literally: an "&" in a caption is a character, never a
// mnemonic, unless the arguments ask for mnemonics.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace varnolet::ui {

// A rectangle in design pixels.
struct Bounds {
  int x = 0, y = 0, width = 0, height = 0;
};

// Doubles every "&", so that a control which reads "&" as a mnemonic shows it.
std::wstring Literal(const std::wstring& text);

// Where a control is made: its parent, its id, its caption and its design
// bounds. Each kind's arguments add what only that kind has.
struct ControlArgs {
  HWND parent = nullptr;
  int id = 0;
  std::wstring text;
  Bounds bounds;
};

// The part every control shares: its window, its design bounds, its font, and
// the parent's routing of WM_COMMAND, WM_DRAWITEM and WM_CTLCOLOR* to it.
class Control {
 public:
  Control() = default;
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  HWND Handle() const { return hwnd_; }
  int Id() const { return id_; }
  const Bounds& DesignBounds() const { return bounds_; }

  // Moves and sizes the control (design pixels), at the dpi of the last Place.
  void SetBounds(const Bounds& bounds);
  void SetLeft(int left);
  void SetWidth(int width);
  // Places the control at a dpi (scaling its design bounds).
  void Place(int dpi);
  void SetFont(HFONT font);
  virtual void SetText(const std::wstring& text);
  std::wstring Text() const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetVisible(bool visible);
  bool Visible() const;

  // Routing by the parent window; true when the control handled the message.
  virtual bool Command(WORD /*code*/) { return false; }
  virtual bool Draw(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // WM_CTLCOLORSTATIC / WM_CTLCOLORBTN: a brush, or nullptr for the default.
  virtual HBRUSH Colour(HDC /*dc*/) { return nullptr; }

 protected:
  bool CreateChild(HWND parent, int id, const wchar_t* className, const std::wstring& text, DWORD style,
                   DWORD exStyle, const Bounds& bounds);

  HWND hwnd_ = nullptr;
  int id_ = 0;
  int dpi_ = 120;
  Bounds bounds_;
};

// A push button with a caption or a picture.
class Button final : public Control {
 public:
  struct Args : ControlArgs {
    bool defaultButton = false;
    bool mnemonics = false;
    HBITMAP picture = nullptr;  // a picture button: the bitmap centred, no caption
  };
  bool Create(const Args& args);
  void SetText(const std::wstring& text) override;
  bool Command(WORD code) override;
  std::function<void()> onClick;

 private:
  bool mnemonics_ = false;
};

// A check box that ticks itself; onClick reports the new state. Setting the
// state from the program raises nothing.
class CheckBox final : public Control {
 public:
  struct Args : ControlArgs {
    bool mnemonics = false;
  };
  bool Create(const Args& args);
  void SetText(const std::wstring& text) override;
  void SetChecked(bool checked);
  bool Checked() const;
  bool Command(WORD code) override;
  std::function<void(bool checked)> onClick;

 private:
  bool mnemonics_ = false;
};

// A drop-down list (no edit field). onChange reports the user's choice; a
// selection made by the program raises nothing.
class DropDownList final : public Control {
 public:
  struct Args {
    HWND parent = nullptr;
    int id = 0;
    Bounds bounds;  // height: the closed field; the list opens below it
    int visibleItems = 12;
  };
  bool Create(const Args& args);
  void SetItems(const std::vector<std::wstring>& items);
  void SetItemText(int index, const std::wstring& text);
  int Count() const;
  std::wstring ItemText(int index) const;
  void Select(int index);
  int Selected() const;
  bool Command(WORD code) override;
  std::function<void(int index)> onChange;

 private:
  int visibleItems_ = 12;
};

// A static text, optionally coloured, italic or centred.
class Label final : public Control {
 public:
  struct Args : ControlArgs {
    COLORREF colour = CLR_INVALID;  // CLR_INVALID: the system's text colour
    bool centred = false;
    // A sunken field, its text centred both ways, grey while disabled. Its
    // text keeps clear of the field's right `inset` (design pixels), where a
    // button may lie, and takes a slightly smaller font before it would be
    // cut short.
    bool framed = false;
    int inset = 0;
    bool mnemonics = false;  // "&x" underlines x and gives the next control Alt+x
  };
  bool Create(const Args& args);
  void SetText(const std::wstring& text) override;
  HBRUSH Colour(HDC dc) override;
  bool Draw(const DRAWITEMSTRUCT& item) override;

 private:
  COLORREF colour_ = CLR_INVALID;
  bool framed_ = false;
  int inset_ = 0;
};

// A label that opens something when clicked: blue underlined text, a hand
// cursor, reached by Tab and clicked with Enter or Space as a button is.
class LinkLabel final : public Control {
 public:
  using Args = ControlArgs;
  bool Create(const Args& args);
  bool Command(WORD code) override;
  bool Draw(const DRAWITEMSTRUCT& item) override;
  std::function<void()> onClick;

 private:
  static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC original_ = nullptr;
};

// A picture stretched to the control's size. The control owns the bitmap.
class Picture final : public Control {
 public:
  struct Args {
    HWND parent = nullptr;
    int id = 0;
    Bounds bounds;
    HBITMAP bitmap = nullptr;
  };
  ~Picture() override;
  bool Create(const Args& args);
  void SetBitmap(HBITMAP bitmap);
  bool Draw(const DRAWITEMSTRUCT& item) override;

 private:
  HBITMAP bitmap_ = nullptr;
};

// A page: a framed group with a caption, holding its own controls (children
// of the page's window, at positions inside the page). The page passes its
// children's notifications up to its parent, so one window routes them all.
class Page final : public Control {
 public:
  using Args = ControlArgs;
  bool Create(const Args& args);
  void SetText(const std::wstring& text) override;
  // Places the frame and the page's window; the children are placed by their owner.
  void PlaceFrame(int dpi);
  void SetFrameFont(HFONT font);
  // Shows this page at its place (its owner hides the others).
  void BringToFront();

 private:
  HWND frame_ = nullptr;
};

// The category list: a white column of buttons, one per category, the
// selected one silver. onChange reports the category the user picked.
class CategoryList final : public Control {
 public:
  struct Args {
    HWND parent = nullptr;
    int id = 0;  // the column's id; button i has id + 1 + i
    Bounds bounds;
    int buttonHeight = 26;
    std::vector<std::wstring> captions;
  };
  bool Create(const Args& args);
  void SetCaption(int index, const std::wstring& caption);
  std::wstring Caption(int index) const;
  int Count() const { return static_cast<int>(buttons_.size()); }
  HWND ButtonHandle(int index) const;
  void Select(int index);
  int Selected() const { return selected_; }
  // Places the column and its buttons at a dpi.
  void PlaceAll(int dpi);
  void SetAllFonts(HFONT font);
  // Routing of the buttons' notifications (their ids follow the column's).
  bool OwnsId(int id) const { return id > id_ && id <= id_ + Count(); }
  bool ButtonCommand(int id, WORD code);
  bool ButtonDraw(const DRAWITEMSTRUCT& item);
  std::function<void(int index)> onChange;

 private:
  int buttonHeight_ = 26;
  std::vector<HWND> buttons_;
  std::vector<std::wstring> captions_;
  int selected_ = -1;
};

// Keyboard use of dialog-like windows in the program's message loop: Tab,
// Shift+Tab, Enter, Esc and Alt+letters for every registered window.
void RegisterDialog(HWND window);
void UnregisterDialog(HWND window);
bool TranslateDialogMessage(MSG& message);

}  // namespace varnolet::ui
