#pragma once

#include "link/device_link_file.h"

namespace varnolet {

class Win32ClsidApi final : public ClsidApi {
 public:
  std::int32_t ClsidFromText(const std::u16string& text, ComGuid* guid) override;
};

}  // namespace varnolet
