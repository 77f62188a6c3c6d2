// The texts of the program: the string table, built in (English) until a
// language library is read, by the Language setting.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/builtin_strings.h"
#include "app/program_ports.h"
#include "support/activity_log.h"

namespace varnolet {

class Texts {
 public:
  Texts(LanguageLibraries& libraries, ActivityLog& log)
      : libraries_(libraries), log_(log), table_(kBuiltInStrings.begin(), kBuiltInStrings.end()) {}

  // Reads Language\English.dll (language 0) or Language\Greek.dll (1) under
  // `applicationDirectory`. A library that cannot be loaded or read leaves
  // the table as it was and sets the language back to 0.
  bool Load(const std::u16string& applicationDirectory, std::int32_t& language);

  const std::u16string& String(StringId id) const { return table_[Index(id)]; }
  const std::vector<std::u16string>& Table() const { return table_; }

 private:
  bool ReadTable(LibraryHandle library, std::vector<std::u16string>& list);

  LanguageLibraries& libraries_;
  ActivityLog& log_;
  std::vector<std::u16string> table_;
};

}  // namespace varnolet
