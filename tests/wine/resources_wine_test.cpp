// The resources built into Varnolet7.exe (pictures, icons, version
// information, manifest) and the version information of the language
// libraries, read through the system's resource functions.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "../../res/resource_ids.h"
#include "varnolet_version.h"
#include "wine_support.h"

namespace varnolet {
namespace {

// A file of the build tree, searched from the test program's folder upwards
// (the test program sits in tests\wine\ of the tree, the program in src\).
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

// The raw bytes of one resource of a module.
std::vector<std::uint8_t> ResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!data) return {};
  return std::vector<std::uint8_t>(data, data + SizeofResource(module, found));
}

struct Rgb {
  int r, g, b;
};

// A BITMAP resource: its header and pixel access (24-bit, bottom-up rows).
struct DibResource {
  BITMAPINFOHEADER header{};
  std::vector<std::uint8_t> bytes;

  explicit DibResource(std::vector<std::uint8_t> data) : bytes(std::move(data)) {
    if (bytes.size() >= sizeof header) std::memcpy(&header, bytes.data(), sizeof header);
  }
  bool Complete() const {
    const std::size_t stride = (static_cast<std::size_t>(header.biWidth) * 3 + 3) & ~std::size_t{3};
    return header.biSize == sizeof header && header.biWidth > 0 && header.biHeight > 0 &&
           bytes.size() >= header.biSize + stride * static_cast<std::size_t>(header.biHeight);
  }
  Rgb Pixel(int x, int y) const {  // y counted from the top
    const std::size_t stride = (static_cast<std::size_t>(header.biWidth) * 3 + 3) & ~std::size_t{3};
    const std::size_t offset = header.biSize + stride * static_cast<std::size_t>(header.biHeight - 1 - y) +
                               static_cast<std::size_t>(x) * 3;
    return {bytes[offset + 2], bytes[offset + 1], bytes[offset]};
  }
};

enum class Hue { Orange, Blue, Green, White };

Hue Classify(Rgb c) {
  if (c.r > 225 && c.g > 225 && c.b > 225) return Hue::White;
  if (c.r > c.g && c.g > c.b && c.r - c.b > 100) return Hue::Orange;
  if (c.b > c.g && c.g > c.r) return Hue::Blue;
  if (c.g > c.r && c.g > c.b) return Hue::Green;
  return Hue::White;  // nothing the pictures use: reported below as a mismatch of hue
}

const char* Name(Hue hue) {
  switch (hue) {
    case Hue::Orange:
      return "orange";
    case Hue::Blue:
      return "blue";
    case Hue::Green:
      return "green";
    case Hue::White:
      return "white";
  }
  return "?";
}

// The icon sizes of one RT_GROUP_ICON, each checked as the system loads it.
struct IconCheck {
  std::set<int> sizes;
  std::vector<std::string> faults;
};

IconCheck CheckIconGroup(HMODULE module, int id) {
  IconCheck check;
  std::vector<std::uint8_t> group = ResourceBytes(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
  if (group.size() < 6) {
    check.faults.push_back("no icon group");
    return check;
  }
  std::uint16_t count = 0;
  std::memcpy(&count, group.data() + 4, 2);
  constexpr std::size_t kEntry =
      14;  // bWidth bHeight bColorCount bReserved wPlanes wBitCount dwBytesInRes nId
  for (std::size_t i = 0; i < count && 6 + (i + 1) * kEntry <= group.size(); ++i) {
    const std::uint8_t* entry = group.data() + 6 + i * kEntry;
    const int size = entry[0] ? entry[0] : 256;
    std::uint16_t bits = 0;
    std::memcpy(&bits, entry + 6, 2);
    check.sizes.insert(size);
    const std::string where = "size " + std::to_string(size) + ": ";
    if (bits != 32) check.faults.push_back(where + "bit count " + std::to_string(bits));

    // The image the system picks for this size, made into an icon.
    const int image = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
    std::vector<std::uint8_t> data = ResourceBytes(module, MAKEINTRESOURCEW(image), RT_ICON);
    if (data.size() < sizeof(BITMAPINFOHEADER)) {
      check.faults.push_back(where + "no image");
      continue;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, data.data(), sizeof header);
    if (header.biWidth != size || header.biHeight != 2 * size || header.biBitCount != 32)
      check.faults.push_back(where + "image header " + std::to_string(header.biWidth) + "x" +
                             std::to_string(header.biHeight) + "x" + std::to_string(header.biBitCount));
    // Smooth edges drawn with the alpha channel: some pixels partly transparent, some opaque.
    int partial = 0, clear = 0, opaque = 0;
    const std::size_t pixels = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    for (std::size_t p = 0; p < pixels && header.biSize + p * 4 + 3 < data.size(); ++p) {
      const int alpha = data[header.biSize + p * 4 + 3];
      (alpha == 0 ? clear : alpha == 255 ? opaque : partial)++;
    }
    if (partial == 0 || opaque == 0)
      check.faults.push_back(where + "alpha: " + std::to_string(clear) + " clear, " +
                             std::to_string(partial) + " partial, " + std::to_string(opaque) + " opaque");
    HICON icon = CreateIconFromResourceEx(data.data(), static_cast<DWORD>(data.size()), TRUE, 0x00030000,
                                          size, size, LR_DEFAULTCOLOR);
    if (!icon) {
      check.faults.push_back(where + "CreateIconFromResourceEx failed");
      continue;
    }
    ICONINFO info{};
    BITMAP colour{};
    if (GetIconInfo(icon, &info)) {
      GetObjectW(info.hbmColor, sizeof colour, &colour);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
    }
    if (colour.bmWidth != size || colour.bmHeight != size)
      check.faults.push_back(where + "icon is " + std::to_string(colour.bmWidth) + "x" +
                             std::to_string(colour.bmHeight));
    DestroyIcon(icon);
  }
  return check;
}

std::string Joined(const std::vector<std::string>& faults) {
  std::string text;
  for (const std::string& fault : faults) text += fault + "; ";
  return text;
}

// One version string of a file's version information (language 0409, Unicode).
std::u16string VersionString(const std::vector<std::uint8_t>& info, const std::u16string& name) {
  const std::u16string query = u"\\StringFileInfo\\040904b0\\" + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), as_wide(query), &value, &length) || !value || length == 0) return u"";
  return from_wide(static_cast<const wchar_t*>(value));
}

std::vector<std::uint8_t> VersionInfo(const std::u16string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(as_wide(path), &ignored);
  std::vector<std::uint8_t> info(size);
  if (size == 0 || !GetFileVersionInfoW(as_wide(path), 0, size, info.data())) info.clear();
  return info;
}

class ResourcesWineTest : public testing::Test {
 protected:
  void SetUp() override {
    program = BuildFile(u"src\\Varnolet7.exe");
    ASSERT_FALSE(program.empty()) << "Varnolet7.exe not found from " << Narrow(wine::ProgramFolder());
    module =
        LoadLibraryExW(as_wide(program), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }
  std::u16string program;
  HMODULE module = nullptr;
};

TEST_F(ResourcesWineTest, NotificationPicturesAreTheFourSigns) {
  // The corners show the dialog face behind the round sign; the top of the
  // disc shows the sign's colour, the centre its symbol.
  struct Picture {
    const wchar_t* name;
    Hue sign;
    Hue centre;
  };
  const Picture pictures[] = {
      {L"IMG_1", Hue::Orange, Hue::Orange},  // prohibition: the bar crosses the centre
      {L"IMG_2", Hue::Blue, Hue::White},     // information: the stem of the i
      {L"IMG_3", Hue::Green, Hue::White},    // play: the triangle
      {L"IMG_4", Hue::Orange, Hue::White},   // record: the dot
  };
  for (const Picture& picture : pictures) {
    const std::string name = Narrow(from_wide(picture.name));
    const DibResource dib(ResourceBytes(module, picture.name, RT_BITMAP));
    ASSERT_TRUE(dib.Complete()) << name;
    EXPECT_EQ(dib.header.biWidth, 40) << name;
    EXPECT_EQ(dib.header.biHeight, 40) << name;
    EXPECT_EQ(dib.header.biBitCount, 24) << name;
    EXPECT_EQ(dib.header.biCompression, static_cast<DWORD>(BI_RGB)) << name;
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{39, 0}, std::pair{0, 39}, std::pair{39, 39}}) {
      const Rgb corner = dib.Pixel(x, y);
      EXPECT_TRUE(corner.r == 240 && corner.g == 240 && corner.b == 240)
          << name << " corner " << x << "," << y << ": " << corner.r << " " << corner.g << " " << corner.b;
    }
    EXPECT_STREQ(Name(Classify(dib.Pixel(20, 5))), Name(picture.sign)) << name;
    EXPECT_STREQ(Name(Classify(dib.Pixel(20, 20))), Name(picture.centre)) << name;

    // And as the notification window loads it.
    HANDLE loaded = LoadImageW(module, picture.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    ASSERT_NE(loaded, nullptr) << name << ": " << GetLastError();
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(loaded, sizeof section, &section), static_cast<int>(sizeof section)) << name;
    EXPECT_EQ(section.dsBm.bmWidth, 40) << name;
    EXPECT_EQ(section.dsBm.bmHeight, 40) << name;
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24) << name;
    DeleteObject(loaded);
  }
  // No fifth picture.
  EXPECT_EQ(FindResourceW(module, L"IMG_5", RT_BITMAP), nullptr);
}

// The splash picture is kept with a palette made for it: a third of the
// 24-bit size in the executable, and loaded like any other bitmap.
TEST_F(ResourcesWineTest, SplashPictureIs400By240WithAPalette) {
  const std::vector<std::uint8_t> bytes =
      ResourceBytes(module, MAKEINTRESOURCEW(VRN_BITMAP_SPLASH), RT_BITMAP);
  BITMAPINFOHEADER header{};
  ASSERT_GE(bytes.size(), sizeof header);
  std::memcpy(&header, bytes.data(), sizeof header);
  EXPECT_EQ(header.biWidth, 400);
  EXPECT_EQ(header.biHeight, 240);
  EXPECT_EQ(header.biBitCount, 8);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_GT(header.biClrUsed, 16u);  // a palette of its own, not a fixed one
  EXPECT_LE(header.biClrUsed, 256u);
  EXPECT_EQ(bytes.size(), sizeof header + header.biClrUsed * sizeof(RGBQUAD) + 400u * 240u);

  HANDLE loaded =
      LoadImageW(module, MAKEINTRESOURCEW(VRN_BITMAP_SPLASH), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  ASSERT_NE(loaded, nullptr) << GetLastError();
  BITMAP bitmap{};
  GetObjectW(loaded, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 400);
  EXPECT_EQ(bitmap.bmHeight, 240);
  // The picture as the splash window draws it: the dark frame, the blue tile
  // of the emblem, the accent line along the bottom.
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, loaded);
  const auto at = [&](int x, int y) {
    const COLORREF c = GetPixel(memory, x, y);
    return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
  };
  const Rgb frame = at(0, 0);
  EXPECT_TRUE(frame.r < 40 && frame.g < 40 && frame.b < 60) << frame.r << " " << frame.g << " " << frame.b;
  EXPECT_STREQ(Name(Classify(at(200, 238))), Name(Hue::Blue));
  EXPECT_STREQ(Name(Classify(at(60, 80))), Name(Hue::Blue));
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DeleteObject(loaded);
}

TEST_F(ResourcesWineTest, IconsHaveAnImageForEachSize) {
  struct Group {
    int id;
    std::set<int> sizes;
  };
  const Group groups[] = {
      {VRN_ICON_PROGRAM, {16, 32, 48}},
      {VRN_ICON_LINK_PLAY, {16, 20, 24, 30, 32, 40, 48}},
      {VRN_ICON_LINK_RECORD, {16, 20, 24, 30, 32, 40, 48}},
  };
  for (const Group& group : groups) {
    const IconCheck check = CheckIconGroup(module, group.id);
    EXPECT_EQ(check.sizes, group.sizes) << "icon " << group.id;
    EXPECT_TRUE(check.faults.empty()) << "icon " << group.id << ": " << Joined(check.faults);
    for (int size : group.sizes) {
      HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(group.id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
      EXPECT_NE(icon, nullptr) << "icon " << group.id << " at " << size << ": " << GetLastError();
      if (icon) DestroyIcon(static_cast<HICON>(icon));
    }
  }
}

TEST_F(ResourcesWineTest, VersionInformationNamesTheProduct) {
  const std::vector<std::uint8_t> info = VersionInfo(program);
  ASSERT_FALSE(info.empty()) << GetLastError();
  EXPECT_EQ(VersionString(info, u"ProductName"), u"Varnolet 7");
  EXPECT_EQ(VersionString(info, u"CompanyName"), u"Kestrova Technologies");
  // The project's version, as the build states it (varnolet_version.h).
  EXPECT_EQ(VersionString(info, u"FileVersion"), u"" VRN_VERSION_TEXT);
  EXPECT_EQ(VersionString(info, u"ProductVersion"), u"" VRN_VERSION_TEXT);
  EXPECT_EQ(VersionString(info, u"OriginalFilename"), u"Varnolet7.exe");
  EXPECT_FALSE(VersionString(info, u"FileDescription").empty());
  EXPECT_EQ(VersionString(info, u"LegalCopyright"),
            u"\u00A9 Kestrova Technologies");  // UTF-8 script read right
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", &value, &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwFileVersionMS, (VRN_VERSION_MAJOR << 16u) | VRN_VERSION_MINOR);
  EXPECT_EQ(fixed->dwFileVersionLS, VRN_VERSION_PATCH << 16u);
  EXPECT_EQ(fixed->dwProductVersionMS, (VRN_VERSION_MAJOR << 16u) | VRN_VERSION_MINOR);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(ResourcesWineTest, LanguageLibrariesDescribeThemselves) {
  for (const char16_t* language : {u"English", u"Greek"}) {
    const std::u16string path = BuildFile(u"src\\Language\\" + std::u16string(language) + u".dll");
    ASSERT_FALSE(path.empty()) << Narrow(language);
    const std::vector<std::uint8_t> info = VersionInfo(path);
    ASSERT_FALSE(info.empty()) << Narrow(language);
    EXPECT_EQ(VersionString(info, u"ProductName"), u"Varnolet 7");
    EXPECT_EQ(VersionString(info, u"FileDescription"),
              u"Varnolet 7 " + std::u16string(language) + u" interface texts");
    EXPECT_EQ(VersionString(info, u"OriginalFilename"), std::u16string(language) + u".dll");
  }
}

BOOL CALLBACK CountLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

TEST_F(ResourcesWineTest, ManifestAsksForCommonControls6AndPerMonitorAwareness) {
  const std::vector<std::uint8_t> bytes = ResourceBytes(module, MAKEINTRESOURCEW(VRN_MANIFEST), RT_MANIFEST);
  ASSERT_FALSE(bytes.empty());
  const std::string manifest(bytes.begin(), bytes.end());
  // Exactly one manifest: the linker's default one must not come along.
  int languages = 0;
  EnumResourceLanguagesW(module, RT_MANIFEST, MAKEINTRESOURCEW(VRN_MANIFEST), CountLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, 1);

  const std::size_t controls = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
  ASSERT_NE(controls, std::string::npos);
  const std::size_t identityEnd = manifest.find("/>", controls);
  EXPECT_NE(manifest.substr(controls, identityEnd - controls).find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
  EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  for (const char* system : {"{e2011457-1546-43c5-a5fe-008deee3d3f0}",     // Vista
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",     // 7
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",     // 8
                             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",     // 8.1
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {  // 10 and 11
    EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + system + "\"/>"), std::string::npos)
        << system;
  }
}

}  // namespace
}  // namespace varnolet
