// The language libraries Language\English.dll and Language\Greek.dll as the
// program reads them: loaded as resources only, 48 strings through LoadStringW.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/builtin_strings.h"
#include "wine_support.h"

namespace varnolet {
namespace {

constexpr int kBufferSize = 2048;  // as the program reads them
constexpr UINT kStrings = static_cast<UINT>(kBuiltInStrings.size());

// A file of the build tree, searched from the test program's folder upwards
// (the test program sits in tests\wine\ of the tree, the libraries in src\Language\).
std::u16string BuildFile(const std::u16string& relative) {
  std::u16string folder = wine::ProgramFolder();
  for (int level = 0; level < 6 && !folder.empty(); ++level) {
    const std::u16string candidate = folder + relative;
    if (GetFileAttributesW(as_wide(candidate)) != INVALID_FILE_ATTRIBUTES) return candidate;
    folder.pop_back();  // the trailing backslash
    folder = folder.substr(0, folder.rfind(u'\\') + 1);
  }
  return std::u16string();
}

const std::u16string kEnglish = u"src\\Language\\English.dll";
const std::u16string kGreek = u"src\\Language\\Greek.dll";

// A library loaded the way the program loads it: mapped as data, nothing in it runs.
class ResourceLibrary {
 public:
  explicit ResourceLibrary(const std::u16string& path)
      : module_(path.empty() ? nullptr
                             : LoadLibraryExW(as_wide(path), nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~ResourceLibrary() {
    if (module_) FreeLibrary(module_);
  }
  ResourceLibrary(const ResourceLibrary&) = delete;
  ResourceLibrary& operator=(const ResourceLibrary&) = delete;

  HMODULE get() const { return module_; }

  // LoadStringW's result for one identifier: its length (0 when missing) and text.
  std::pair<int, std::u16string> Read(UINT id) const {
    wchar_t buffer[kBufferSize] = {};
    const int length = LoadStringW(module_, id, buffer, kBufferSize);
    return {length, from_wide(buffer, length > 0 ? static_cast<std::size_t>(length) : 0)};
  }

  std::vector<std::u16string> ReadTable() const {
    std::vector<std::u16string> table;
    for (UINT id = 0; id < kStrings; ++id) table.push_back(Read(id).second);
    return table;
  }

 private:
  HMODULE module_;
};

bool IsGreekLetter(char16_t c) {
  return (c >= u'\u0386' && c <= u'\u03CE') && c != u'\u0387';
}

// Plain text a Greek interface text may hold besides Greek letters.
bool IsPlainText(char16_t c) {
  return c >= 0x20 && c < 0x7F;
}

class LanguageWineTest : public testing::Test {
 protected:
  void SetUp() override {
    englishPath = BuildFile(kEnglish);
    greekPath = BuildFile(kGreek);
    ASSERT_FALSE(englishPath.empty()) << "English.dll not found from " << Narrow(wine::ProgramFolder());
    ASSERT_FALSE(greekPath.empty()) << "Greek.dll not found from " << Narrow(wine::ProgramFolder());
  }
  std::u16string englishPath;
  std::u16string greekPath;
};

TEST_F(LanguageWineTest, LibrariesLieInTheLanguageFolderBesideTheProgram) {
  // The program builds the path from its own folder: <folder>\Language\<name>.dll.
  const std::u16string program = BuildFile(u"src\\Varnolet7.exe");
  ASSERT_FALSE(program.empty());
  const std::u16string folder = program.substr(0, program.rfind(u'\\'));
  EXPECT_EQ(englishPath, folder + u"\\Language\\English.dll");
  EXPECT_EQ(greekPath, folder + u"\\Language\\Greek.dll");
}

TEST_F(LanguageWineTest, EnglishLibraryCarriesTheBuiltInTexts) {
  ResourceLibrary english(englishPath);
  ASSERT_NE(english.get(), nullptr) << GetLastError();
  for (UINT id = 0; id < kStrings; ++id) {
    const auto [length, text] = english.Read(id);
    EXPECT_GT(length, 0) << "id " << id;
    EXPECT_EQ(text, kBuiltInStrings[id]) << "id " << id << ": " << Narrow(text);
  }
  // The backslash of entry 19 survives the resource script's escaping.
  EXPECT_EQ(english.Read(19).second, u"Enable\\Disable notifications:");
  EXPECT_EQ(english.Read(22).second.back(), u' ');
}

TEST_F(LanguageWineTest, GreekLibraryTranslatesEveryText) {
  ResourceLibrary greek(greekPath);
  ASSERT_NE(greek.get(), nullptr) << GetLastError();
  const std::vector<std::u16string> table = greek.ReadTable();
  for (UINT id = 0; id < kStrings; ++id) {
    const std::u16string& text = table[id];
    ASSERT_FALSE(text.empty()) << "id " << id;
    EXPECT_NE(text, kBuiltInStrings[id]) << "id " << id;
    int greekLetters = 0;
    for (char16_t c : text) {
      if (IsGreekLetter(c)) {
        ++greekLetters;
      } else {
        // Anything else would be text decoded with the wrong code page.
        EXPECT_TRUE(IsPlainText(c)) << "id " << id << ": U+" << std::hex << static_cast<int>(c);
      }
    }
    EXPECT_GT(greekLetters, 0) << "id " << id << ": " << Narrow(text);
  }
  // Texts whose exact form matters: product name first, trailing blank kept,
  // the two link texts identical, as in English.
  EXPECT_EQ(table[22].rfind(u"Varnolet 7 ", 0), 0u) << Narrow(table[22]);
  EXPECT_EQ(table[22].back(), u' ');
  EXPECT_EQ(table[43], table[44]);
  EXPECT_EQ(table[2], u"Αναπαραγωγή");
  EXPECT_EQ(table[3], u"Εγγραφή");
  EXPECT_EQ(table[5], u"Έξοδος");
  EXPECT_EQ(table[15], u"Σύνδεση συσκευής");
}

TEST_F(LanguageWineTest, AnIdentifierBeyondTheTableGivesNothing) {
  for (const std::u16string* path : {&englishPath, &greekPath}) {
    ResourceLibrary library(*path);
    ASSERT_NE(library.get(), nullptr) << Narrow(*path);
    EXPECT_GT(library.Read(kStrings - 1).first, 0) << Narrow(*path);
    EXPECT_EQ(library.Read(kStrings).first, 0) << Narrow(*path);
    EXPECT_EQ(library.Read(1000).first, 0) << Narrow(*path);
  }
}

// The libraries hold resources and nothing else: no entry point, no code to run.
TEST_F(LanguageWineTest, LibrariesAreResourceOnly) {
  for (const std::u16string* path : {&englishPath, &greekPath}) {
    const std::vector<std::uint8_t> bytes = wine::ReadFileBytes(*path);
    ASSERT_GT(bytes.size(), sizeof(IMAGE_DOS_HEADER)) << Narrow(*path);
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, bytes.data(), sizeof dos);
    ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
    ASSERT_LE(static_cast<std::size_t>(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS64), bytes.size());
    IMAGE_NT_HEADERS64 nt;
    std::memcpy(&nt, bytes.data() + dos.e_lfanew, sizeof nt);
    ASSERT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC) << Narrow(*path);
    EXPECT_TRUE(nt.FileHeader.Characteristics & IMAGE_FILE_DLL) << Narrow(*path);
    EXPECT_EQ(nt.OptionalHeader.AddressOfEntryPoint, 0u) << Narrow(*path);
    const IMAGE_DATA_DIRECTORY& resources = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
    EXPECT_GT(resources.Size, 0u) << Narrow(*path);
  }
}

}  // namespace
}  // namespace varnolet
