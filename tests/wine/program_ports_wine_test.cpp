// The program shell's adapters on Wine: the module path, the environment,
// the named mutex and resource-only libraries.
#include <gtest/gtest.h>

#include "app/entry.h"
#include "app/program_ports_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

TEST(ProgramPortsWineTest, ModuleFileNameReportsACutPathAsFull) {
  Win32ProcessEnvironment environment;
  char16_t small[4] = {};
  EXPECT_EQ(environment.ModuleFileName(small, 4), 4u);  // cut: the whole buffer
  char16_t whole[MAX_PATH] = {};
  const std::uint32_t length = environment.ModuleFileName(whole, MAX_PATH);
  ASSERT_GT(length, 4u);
  ASSERT_LT(length, static_cast<std::uint32_t>(MAX_PATH));
  EXPECT_EQ(std::u16string(whole, length).substr(length - 23), u"varnolet_wine_tests.exe");
}

TEST(ProgramPortsWineTest, EnvironmentVariableLengthThenValue) {
  Win32ProcessEnvironment environment;
  SetEnvironmentVariableW(L"VARNOLET_TEST", L"C:\\Data");
  const std::uint32_t needed = environment.EnvironmentVariable(u"VARNOLET_TEST", nullptr, 0);
  EXPECT_EQ(needed, 8u);  // with the terminator
  std::u16string value(needed, u'\0');
  EXPECT_EQ(environment.EnvironmentVariable(u"VARNOLET_TEST", value.data(), needed), 7u);
  EXPECT_EQ(value.substr(0, 7), u"C:\\Data");
  EXPECT_EQ(environment.EnvironmentVariable(u"VARNOLET_MISSING", nullptr, 0), 0u);
}

TEST(ProgramPortsWineTest, NamedMutexIsSeenOnceCreated) {
  Win32ProcessEnvironment environment;
  const std::u16string name = u"VarnoletTest" + Decimal(GetCurrentProcessId());
  EXPECT_FALSE(environment.OpenNamedMutex(name));
  environment.CreateNamedMutex(name);
  EXPECT_TRUE(environment.OpenNamedMutex(name));
}

TEST(ProgramPortsWineTest, MissingLanguageLibraryFailsWithTheSystemsCode) {
  Win32LanguageLibraries libraries;
  SetLastError(0);
  EXPECT_EQ(libraries.LoadResources(wine::ProgramFolder() + u"Language\\Missing.dll"), 0u);
  EXPECT_NE(GetLastError(), 0u);
}

TEST(ProgramPortsWineTest, StringsOfALibraryLoadedAsResources) {
  Win32LanguageLibraries libraries;
  // The sample program carries no string table: every string is missing.
  const LibraryHandle library = libraries.LoadResources(wine::ProgramFolder() + u"sample_with_version.exe");
  ASSERT_NE(library, 0u);
  char16_t buffer[2048];
  EXPECT_EQ(libraries.ReadString(library, 0, buffer, 2048), 0);
  libraries.Release(library);
}

}  // namespace
}  // namespace varnolet
