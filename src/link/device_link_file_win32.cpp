#include "link/device_link_file_win32.h"

#include <windows.h>
#include <objbase.h>

#include "link/com_guid_win32.h"
#include "support/wide_win32.h"

namespace varnolet {

std::int32_t Win32ClsidApi::ClsidFromText(const std::u16string& text, ComGuid* guid) {
  CLSID clsid{};
  const HRESULT result = CLSIDFromString(as_wide(text), &clsid);
  if (result == S_OK) *guid = ToComGuid(clsid);
  return result;
}

}  // namespace varnolet
