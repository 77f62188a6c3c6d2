// The hotkey table: HOTKEY patterns with their identifier and action, the
// match rule against the live input state, and CHotkeys (the process-wide
// HotkeyTable) that registers them and runs the first that matches.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/raw_input.h"
#include "support/error_log.h"

namespace varnolet {

// A hotkey's action: a plain function with a context pointer, so that a form
// can bind one of its member functions without allocating anything.
struct HotkeyCallback {
  using Function = bool (*)(void* context, const std::u16string* parameter);

  static bool DoNothing(void*, const std::u16string*) { return true; }

  Function function = &DoNothing;
  void* context = nullptr;

  bool operator()(const std::u16string* parameter) const { return function(context, parameter); }
  bool operator==(const HotkeyCallback&) const = default;
};

// Binds object.*Method as a hotkey action: BindHotkeyAction<&TForm::HotkeyAction>(form).
template <auto Method, class Object>
HotkeyCallback BindHotkeyAction(Object& object) {
  return HotkeyCallback{[](void* context, const std::u16string* parameter) -> bool {
                          return (static_cast<Object*>(context)->*Method)(parameter);
                        },
                        &object};
}

struct HOTKEY : DEVICEINPUT {
  // The hotkey match rule with this hotkey as the pattern and `input` as the live state.
  bool Equals(const DEVICEINPUT& input) const final;

  // The duplicate test of Register: equal as DEVICEINPUT records are, and the
  // same parameter object (not merely an equal text).
  bool IsSameHotkey(const HOTKEY& other) const;

  std::uint32_t ID = 0;                       // set by Register
  const std::u16string* parameter = nullptr;  // the identifier text; not owned
  HotkeyCallback callback;
};

class CHotkeys {
 public:
  // Admission predicate of Register: the table, the candidate, filterParameter.
  using Filter = bool (*)(const CHotkeys& table, const HOTKEY& candidate, std::int32_t parameter);
  static bool AcceptAll(const CHotkeys&, const HOTKEY&, std::int32_t) { return true; }

  CHotkeys(SystemMessages& messages, Clock& clock) : log_(messages, clock, error_rules::kHotkeys) {}
  CHotkeys(const CHotkeys&) = delete;
  CHotkeys& operator=(const CHotkeys&) = delete;

  bool Register(HOTKEY hotkey);
  // All or nothing: at the first refusal the whole table is emptied.
  bool Register(const std::vector<HOTKEY>& hotkeys);

  // Runs the callback of the first registered hotkey that matches `input`.
  // The callback may empty or refill the table: it receives copies of the
  // callback and parameter, and nothing of the table is touched after it.
  bool ExecuteMatching(DEVICEINPUT input);

  bool Clear();

  std::u16string GetLastErrorText() const { return log_.GetLastErrorText(); }
  const ErrorLog& Log() const { return log_; }
  const std::vector<HOTKEY>& Items() const { return items_; }

  Filter FilterCallback = &AcceptAll;
  std::int32_t filterParameter = 0;

 private:
  std::vector<HOTKEY> items_;
  ErrorLog log_;
};

}  // namespace varnolet
