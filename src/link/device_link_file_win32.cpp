#include "link/device_link_file_win32.h"

#include <windows.h>
#include <objbase.h>

#include "link/com_guid_win32.h"
#include "support/wide_win32.h"

namespace varnolet {

// The results of CLSIDFromString the core tells apart, as the system defines them.
static_assert(clsid_status::kClassString == CO_E_CLASSSTRING &&
              clsid_status::kClassNotRegistered == REGDB_E_CLASSNOTREG &&
              clsid_status::kReadRegistry == REGDB_E_READREGDB);

std::int32_t Win32ClsidApi::ClsidFromText(const std::u16string& text, ComGuid* guid) {
  CLSID clsid{};
  const HRESULT result = CLSIDFromString(as_wide(text), &clsid);
  if (result == S_OK) *guid = ToComGuid(clsid);
  return result;
}

}  // namespace varnolet
