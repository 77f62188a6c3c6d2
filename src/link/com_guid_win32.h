// Conversion between the system's GUID structure and the core's ComGuid.
// Included only by adapters.
#pragma once

#include <windows.h>

#include "link/com_guid.h"

namespace varnolet {

inline ComGuid ToComGuid(const GUID& guid) {
  ComGuid result;
  result.data1 = guid.Data1;
  result.data2 = guid.Data2;
  result.data3 = guid.Data3;
  for (int i = 0; i < 8; ++i) result.data4[static_cast<std::size_t>(i)] = guid.Data4[i];
  return result;
}

inline GUID ToSystemGuid(const ComGuid& guid) {
  GUID result;
  result.Data1 = guid.data1;
  result.Data2 = guid.data2;
  result.Data3 = guid.data3;
  for (int i = 0; i < 8; ++i) result.Data4[i] = guid.data4[static_cast<std::size_t>(i)];
  return result;
}

}  // namespace varnolet
