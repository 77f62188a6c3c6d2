#include "app/texts.h"

#include "support/text.h"

namespace varnolet {

bool Texts::Load(const std::u16string& applicationDirectory, std::int32_t& language) {
  std::u16string path = applicationDirectory;
  if (language == 0) path += u"\\Language\\English.dll";
  if (language == 1) path += u"\\Language\\Greek.dll";

  const LibraryHandle library = libraries_.LoadResources(path);
  if (library == 0) {
    log_.AddLog(u"  -Could not load string resources, ", log_.SystemErrorText());
    language = 0;
    return false;
  }
  std::vector<std::u16string> list;
  const bool read = ReadTable(library, list);
  // The library is released on both paths; nothing of it is kept.
  libraries_.Release(library);
  if (!read) {
    language = 0;
    return false;
  }
  table_ = std::move(list);
  return true;
}

bool Texts::ReadTable(LibraryHandle library, std::vector<std::u16string>& list) {
  constexpr int kBufferSize = 2048;
  std::u16string buffer(kBufferSize, u'\0');
  list.clear();
  for (std::uint32_t id = 0; id < kStringCount; ++id) {
    const int length = libraries_.ReadString(library, id, buffer.data(), kBufferSize);
    if (length <= 0) {
      log_.AddLog(u"  -Could not load string resource with ID: ", Decimal(id));
      list.clear();
      return false;
    }
    list.emplace_back(buffer.data(),
                      static_cast<std::size_t>(length < kBufferSize ? length : kBufferSize - 1));
  }
  log_.AddLog(u"  -String resources loaded");
  return true;
}

}  // namespace varnolet
