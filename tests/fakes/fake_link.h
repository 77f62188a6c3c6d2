// A fake CLSIDFromString: parses the registry format of a GUID
// ({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, either case) and answers
// CO_E_CLASSSTRING for anything else, records each text it is given, and
// can be scripted ("ClsidFromText": the code is the COM result returned).
#pragma once

#include <string>
#include <vector>

#include "fakes/failure_script.h"
#include "link/device_link_file.h"

namespace varnolet::fakes {

class FakeClsid final : public ClsidApi {
 public:
  std::int32_t ClsidFromText(const std::u16string& text, ComGuid* guid) override;

  std::vector<std::u16string> texts;
  FailureScript failures;
};

// The GUID of a registry-format text, for building expectations.
ComGuid GuidOf(const std::u16string& text);

}  // namespace varnolet::fakes
