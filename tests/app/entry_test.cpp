#include "app/entry.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "fakes/form_rig.h"
#include "settings/user_settings.h"

namespace varnolet {
namespace {

using namespace fakes;

struct Host final : EntryHost {
  void ShowWarning(bool owned, const std::u16string& text, const std::u16string& caption) override {
    boxes.push_back({owned, text, caption});
  }
  void ShowException(const std::u16string& message) override { exceptions.push_back(message); }
  void CreateForms() override {
    ++formsCreated;
    if (throwing == 1) throw std::runtime_error("form failed");
    if (throwing == 2) throw 42;
  }
  void RunMessageLoop() override { ++loops; }

  struct Box {
    bool owned;
    std::u16string text;
    std::u16string caption;
  };
  std::vector<Box> boxes;
  std::vector<std::u16string> exceptions;
  int formsCreated = 0;
  int loops = 0;
  int throwing = 0;
};

class EntryTest : public testing::Test {
 protected:
  int Run() {
    ProcessObjects objects(rig.AllPorts());
    return ProgramEntry(objects, environment, host);
  }
  FormRig rig;
  FakeRegistry& registry = rig.registry;
  FakeVersion& version = rig.version;
  FakeEnvironment& environment = rig.environment;
  Host host;
};

TEST_F(EntryTest, VersionGateRefusesOldSystemsInTheUiLanguage) {
  struct Case {
    std::uint16_t language;
    std::u16string text;
    std::u16string caption;
  };
  const Case cases[] = {
      {1033, u"Varnolet 7 is not compatible with Microsoft Windows XP", u"Warning!"},
      {1031, u"Varnolet 7 is not compatible with Microsoft Windows XP", u"Warning!"},
      {1032, u"Το Varnolet 7 δεν είναι συμβατό με Microsoft Windows XP", u"Προσοχή!"},
  };
  for (const Case& c : cases) {
    host = Host();
    version.record.majorVersion = 5;
    version.record.minorVersion = 1;
    environment.uiLanguage = c.language;
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_TRUE(host.boxes[0].owned);
    EXPECT_EQ(host.boxes[0].text, c.text);
    EXPECT_EQ(host.boxes[0].caption, c.caption);
    EXPECT_TRUE(registry.failures.Calls().empty());
    EXPECT_TRUE(environment.mutexes.empty());
    EXPECT_EQ(host.formsCreated, 0);
  }
}

TEST_F(EntryTest, FirstInstanceCreatesTheKeyTheMutexAndTheForms) {
  for (std::uint32_t minor : {0u, 1u}) {
    host = Host();
    environment.mutexes.clear();
    version.record.minorVersion = minor;
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(registry.HasKey(std::u16string(kSettingsKey)));
    EXPECT_EQ(environment.mutexes, std::vector<std::u16string>{kInstanceMutexName});
    EXPECT_EQ(host.formsCreated, 1);
    EXPECT_EQ(host.loops, 1);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(registry.OpenHandleCount(), 0);
  }
}

TEST_F(EntryTest, SecondInstanceWarnsInTheProgramsLanguage) {
  struct Case {
    std::optional<std::uint32_t> language;
    bool keyFails;
    std::u16string text;
    std::u16string caption;
  };
  const Case cases[] = {
      {std::nullopt, false, u"Varnolet 7 is already running", u"Warning"},
      {0, false, u"Varnolet 7 is already running", u"Warning"},
      {1, false, u"Το Varnolet 7 είναι ήδη ανοιχτό", u"Προσοχή"},
      {7, false, u"Varnolet 7 is already running", u"Warning"},
      {1, true, u"Varnolet 7 is already running", u"Warning"},
  };
  for (const Case& c : cases) {
    host = Host();
    registry = FakeRegistry();
    if (c.language) registry.SetDword(std::u16string(kSettingsKey), u"Language", *c.language);
    if (c.keyFails) registry.failures.FailNext("CreateKeyEx", 5);
    environment.mutexes = {kInstanceMutexName};
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_FALSE(host.boxes[0].owned);
    EXPECT_EQ(host.boxes[0].text, c.text);
    EXPECT_EQ(host.boxes[0].caption, c.caption);
    EXPECT_EQ(host.formsCreated, 0);
    EXPECT_EQ(environment.mutexes.size(), 1u);
  }
}

TEST_F(EntryTest, EscapingExceptionsAreShownAndTheExitCodeStaysZero) {
  host.throwing = 1;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(host.exceptions, std::vector<std::u16string>{u"form failed"});
  EXPECT_EQ(host.loops, 0);

  host = Host();
  host.throwing = 2;
  environment.mutexes.clear();
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(host.exceptions, std::vector<std::u16string>{u""});
}

}  // namespace
}  // namespace varnolet
