#include "input/hotkey_action.h"

namespace varnolet {

bool HandleRawInput(CRawInput::CDevice& keyboard, CHotkeys& table, MonitorKeySequence& sequence,
                    DEVICEINPUT& inputState, std::uintptr_t rawInputHandle) {
  keyboard.Query(rawInputHandle, inputState);
  table.ExecuteMatching(inputState);
  return sequence.KeyEvent(inputState);
}

}  // namespace varnolet
