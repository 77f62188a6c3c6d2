// DEVICEINFO: one audio endpoint, its friendly name and its endpoint
// identifier string, copied by value. A placeholder with an empty identifier
// and a message as name stands in a list whose enumeration found nothing.
#pragma once

#include <string>

namespace varnolet {

struct DEVICEINFO {
  std::u16string name;
  std::u16string id;
};

}  // namespace varnolet
