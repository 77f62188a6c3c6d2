#include "fakes/fake_system.h"

namespace varnolet::fakes {

FakeSystem::FakeSystem() {
  // Texts in the style of the system's table; tests compare with Text(code).
  texts = {
      {0, u"The operation completed successfully. "},
      {2, u"The system cannot find the file specified. "},
      {3, u"The system cannot find the path specified. "},
      {5, u"Access is denied. "},
      {6, u"The handle is invalid. "},
      {32, u"The process cannot access the file because it is being used by another process. "},
      {80, u"The file exists. "},
      {87, u"The parameter is incorrect. "},
      {126, u"The specified module could not be found. "},
      {183, u"Cannot create a file when that file already exists. "},
      {234, u"More data is available. "},
      {1813, u"The specified resource type cannot be found in the image file. "},
      {0x80070490, u"Element not found. "},
      {0x80040154, u"Class not registered. "},
      {0x80004005, u"Unspecified error "},
      {0x80004002, u"No such interface supported "},
      {0x8007000E, u"Not enough memory resources are available to complete this operation. "},
      {0x80070005, u"Access is denied. "},
      {0x80010106, u"Cannot change thread mode after it is set. "},
      {0x8004100E, u"Invalid namespace "},
      {0x80041001, u"Generic failure "},
      {0x80041003, u"Access denied "},
  };
}

std::u16string FakeSystem::MessageText(std::uint32_t code, MessageWidth width) {
  asked.emplace_back(code, width);
  return Text(code);
}

std::u16string FakeSystem::Text(std::uint32_t code) const {
  auto found = texts.find(code);
  return found == texts.end() ? std::u16string() : found->second;
}

}  // namespace varnolet::fakes
