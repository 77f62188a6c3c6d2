// The Options dialog's Device Link page on a whole main form: linking,
// replacing and clearing in the working list, the "already linked" loop, the
// chain picture, and what OK writes to the map.
#include <gtest/gtest.h>

#include "fakes/form_rig.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FormRig;
using fakes::GuidOf;
using C = OptionsControl;
using Lines = std::vector<std::u16string>;

const std::u16string kKey(kSettingsKey);
const std::u16string kLinkFile = std::u16string(fakes::kDataDir) + u"\\dlmap.dat";
const std::u16string kHeadsetGuid = u"{11111111-1111-1111-1111-111111111111}";
const std::u16string kSpeakersGuid = u"{22222222-2222-2222-2222-222222222222}";
const std::u16string kMicrophoneGuid = u"{33333333-3333-3333-3333-333333333333}";
const std::u16string kAbsentGuid = u"{99999999-9999-9999-9999-999999999999}";
const std::u16string kNotepad = u"C:\\windows\\notepad.exe";
const std::u16string kPlayer = u"C:\\Program Files\\Player\\player.exe";
const std::u16string kNoLink = u"This device is not linked with a program";

class OptionsDeviceLinkTest : public testing::Test {
 protected:
  void SetUp() override {
    rig.registry.SetDword(kKey, u"Splash", 1);
    rig.registry.SetDword(kKey, u"DeviceLink", 1);
    rig.audio.render = {Endpoint(u"{0.0.0.00000000}." + kHeadsetGuid, u"Headset"),
                        Endpoint(u"{0.0.0.00000000}." + kSpeakersGuid, u"Speakers")};
    rig.audio.capture = {Endpoint(u"{0.0.1.00000000}." + kMicrophoneGuid, u"Microphone")};
    rig.files.AddFile(kNotepad, std::string("MZ"));
    rig.files.SetVersionResource(
        kNotepad, {{0x0409, 0x04B0}, {{u"\\StringFileInfo\\040904b0\\ProductName", u"Notepad"}}});
    rig.processes.Add(4, u"C:\\windows\\system32\\services.exe");
  }
  void WriteLinks(const std::vector<DEVICELINK>& links) {
    rig.files.AddFolder(fakes::kDataDir);
    ActivityLog log(rig.system, rig.system);
    CDrive drive(rig.files, rig.system, rig.system);
    DeviceLinkFile file(log, drive, DeviceLinkFile::MapPath(fakes::kAppData));
    ASSERT_TRUE(file.SaveDeviceLinks(links));
  }
  std::vector<DEVICELINK> SavedLinks() {
    ActivityLog log(rig.system, rig.system);
    CDrive drive(rig.files, rig.system, rig.system);
    DeviceLinkFile file(log, drive, DeviceLinkFile::MapPath(fakes::kAppData));
    std::vector<DEVICELINK> links;
    EXPECT_TRUE(file.LoadDeviceLinks(links));
    return links;
  }
  TNotificationsForm& Open() {
    TNotificationsForm& form = rig.form ? *rig.form : rig.Start();
    form.MenuOptionsClick();
    return form;
  }
  TOptionsForm& options() { return rig.options; }
  const fakes::FakeOptionsView& shown() const { return rig.optionsView; }
  FormRig rig;
};

TEST_F(OptionsDeviceLinkTest, LinkingAProgramShowsItsProductNameAndOkWritesTheMap) {
  Open();
  EXPECT_EQ(shown()[C::comboLinkPlaybackDevices].items, (Lines{u"Headset", u"Speakers"}));
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, kNoLink);
  rig.optionsView.picks = {kNotepad};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  EXPECT_EQ(shown().pickerTitles, Lines{u"Select a program to link"});
  EXPECT_EQ(shown().pickerFilters, Lines{u"Executable file|*exe"});
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, u"Notepad");
  // A program without a version resource shows its path.
  options().ListSelected(C::comboLinkPlaybackDevices, 1);
  rig.optionsView.picks = {kPlayer};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, kPlayer);
  EXPECT_TRUE(rig.form->DeviceLinks().empty());  // nothing before OK

  options().ButtonClicked(C::BtnOK);
  EXPECT_EQ(SavedLinks(), (std::vector<DEVICELINK>{{GuidOf(kHeadsetGuid), u"Notepad", kNotepad},
                                                   {GuidOf(kSpeakersGuid), u"", kPlayer}}));
  EXPECT_EQ(rig.form->DeviceLinks().size(), 2u);
}

TEST_F(OptionsDeviceLinkTest, LinkingAnotherProgramToALinkedDeviceReplacesIt) {
  WriteLinks({{GuidOf(kHeadsetGuid), u"Player", kPlayer}});
  Open();
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, u"Player");
  rig.optionsView.picks = {kNotepad};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  EXPECT_EQ(options().links, (std::vector<DEVICELINK>{{GuidOf(kHeadsetGuid), u"Notepad", kNotepad}}));
}

TEST_F(OptionsDeviceLinkTest, AlreadyLinkedProgramReopensThePickerUntilAnotherOneOrCancel) {
  WriteLinks({{GuidOf(kHeadsetGuid), u"Notepad", kNotepad}});
  Open();
  options().ListSelected(C::comboLinkPlaybackDevices, 1);  // Speakers
  rig.optionsView.picks = {kNotepad, kNotepad, kPlayer};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  EXPECT_EQ(shown().messages, (Lines{u"This program is already linked with a playback device",
                                     u"This program is already linked with a playback device"}));
  EXPECT_EQ(shown().pickerTitles.size(), 3u);
  EXPECT_EQ(options().links, (std::vector<DEVICELINK>{{GuidOf(kHeadsetGuid), u"Notepad", kNotepad},
                                                      {GuidOf(kSpeakersGuid), u"", kPlayer}}));

  // Cancelling the reopened picker leaves the list as it was.
  rig.optionsView.messages.clear();
  options().ListSelected(C::comboLinkPlaybackDevices, 0);
  options().ListSelected(C::comboLinkPlaybackDevices, 1);
  rig.optionsView.picks = {kNotepad, u""};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  EXPECT_EQ(shown().messages.size(), 1u);
  EXPECT_EQ(options().links.size(), 2u);
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, kPlayer);

  // The device it is linked with takes it again without a word.
  options().ListSelected(C::comboLinkPlaybackDevices, 0);
  rig.optionsView.picks = {kNotepad};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  EXPECT_EQ(shown().messages.size(), 1u);
  EXPECT_EQ(options().links[0], (DEVICELINK{GuidOf(kHeadsetGuid), u"Notepad", kNotepad}));
}

TEST_F(OptionsDeviceLinkTest, ProgramInBothRowsShowsTheChain) {
  Open();
  EXPECT_FALSE(shown()[C::ImgChain].visible);
  rig.optionsView.picks = {kNotepad, kNotepad};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  EXPECT_FALSE(shown()[C::ImgChain].visible);
  options().ButtonClicked(C::BtnSelectRecordingDevicesProgram);
  EXPECT_TRUE(shown()[C::ImgChain].visible);
  EXPECT_EQ(shown()[C::editLinkRecordingDevices].text, u"Notepad");
  options().ListSelected(C::comboLinkPlaybackDevices, 1);
  EXPECT_FALSE(shown()[C::ImgChain].visible);
  options().ListSelected(C::comboLinkPlaybackDevices, 0);
  EXPECT_TRUE(shown()[C::ImgChain].visible);
  options().ButtonClicked(C::BtnClearCaptureLink);
  EXPECT_FALSE(shown()[C::ImgChain].visible);
  EXPECT_EQ(shown()[C::editLinkRecordingDevices].text, kNoLink);
}

TEST_F(OptionsDeviceLinkTest, TwoDevicesOfOneNameAreLinkedByTheirPlaceInTheList) {
  rig.audio.render = {Endpoint(u"{0.0.0.00000000}." + kHeadsetGuid, u"Headset"),
                      Endpoint(u"{0.0.0.00000000}." + kSpeakersGuid, u"Headset")};
  // A recording device named like a playback one.
  rig.audio.capture = {Endpoint(u"{0.0.1.00000000}." + kMicrophoneGuid, u"Headset")};
  Open();
  options().ListSelected(C::comboLinkPlaybackDevices, 1);
  rig.optionsView.picks = {kNotepad, kPlayer};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  options().ButtonClicked(C::BtnSelectRecordingDevicesProgram);
  EXPECT_EQ(options().links, (std::vector<DEVICELINK>{{GuidOf(kSpeakersGuid), u"Notepad", kNotepad},
                                                      {GuidOf(kMicrophoneGuid), u"", kPlayer}}));
  options().ListSelected(C::comboLinkPlaybackDevices, 0);
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, kNoLink);
}

TEST_F(OptionsDeviceLinkTest, ClearingRemovesTheDevicesLinkAndAnUnlinkedDeviceChangesNothing) {
  WriteLinks(
      {{GuidOf(kSpeakersGuid), u"Notepad", kNotepad}, {GuidOf(kMicrophoneGuid), u"Notepad", kNotepad}});
  Open();
  const std::vector<DEVICELINK> before = options().links;
  options().ButtonClicked(C::BtnClearRenderLink);  // Headset: no link
  EXPECT_EQ(options().links, before);
  options().ListSelected(C::comboLinkPlaybackDevices, 1);
  options().ButtonClicked(C::BtnClearRenderLink);
  EXPECT_EQ(options().links, (std::vector<DEVICELINK>{{GuidOf(kMicrophoneGuid), u"Notepad", kNotepad}}));
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, kNoLink);
  // Cancel keeps the map; the next showing starts from the main form's list.
  options().ButtonClicked(C::BtnCancel);
  EXPECT_EQ(SavedLinks().size(), 2u);
  rig.form->MenuOptionsClick();
  EXPECT_EQ(options().links.size(), 2u);
}

TEST_F(OptionsDeviceLinkTest, LinkToAnAbsentDeviceIsKeptAndDoesNotBindTheProgram) {
  WriteLinks({{GuidOf(kAbsentGuid), u"Notepad", kNotepad}});
  Open();
  rig.optionsView.picks = {kNotepad, kNotepad};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  options().ButtonClicked(C::BtnSelectRecordingDevicesProgram);
  EXPECT_TRUE(shown().messages.empty());
  options().ButtonClicked(C::BtnOK);
  EXPECT_EQ(SavedLinks(), (std::vector<DEVICELINK>{{GuidOf(kAbsentGuid), u"Notepad", kNotepad},
                                                   {GuidOf(kHeadsetGuid), u"Notepad", kNotepad},
                                                   {GuidOf(kMicrophoneGuid), u"Notepad", kNotepad}}));
  // Three links, one of them absent: starting the program switches both present devices.
  rig.processes.Add(1200, kNotepad);
  rig.wmi.Deliver(1);
  std::vector<std::u16string> ids;
  for (const auto& call : rig.audio.setCalls) ids.push_back(call.id);
  EXPECT_EQ(ids, (Lines{u"{0.0.0.00000000}." + kHeadsetGuid, u"{0.0.0.00000000}." + kHeadsetGuid,
                        u"{0.0.1.00000000}." + kMicrophoneGuid, u"{0.0.1.00000000}." + kMicrophoneGuid}));
}

TEST_F(OptionsDeviceLinkTest, RowWithoutADeviceShowsNoLinkAndChangesNothing) {
  rig.audio.capture.clear();
  WriteLinks({{GuidOf(kMicrophoneGuid), u"Notepad", kNotepad}});
  Open();
  EXPECT_TRUE(shown()[C::comboLinkRecordingDevices].items.empty());
  EXPECT_EQ(shown()[C::editLinkRecordingDevices].text, kNoLink);
  EXPECT_FALSE(shown()[C::BtnSelectRecordingDevicesProgram].enabled);
  EXPECT_FALSE(shown()[C::BtnClearCaptureLink].enabled);
  EXPECT_TRUE(shown()[C::BtnSelectPlaybackDevicesProgram].enabled);
  rig.optionsView.picks = {kPlayer};
  options().ButtonClicked(C::BtnSelectRecordingDevicesProgram);
  options().ButtonClicked(C::BtnClearCaptureLink);
  EXPECT_TRUE(shown().pickerTitles.empty());
  EXPECT_EQ(options().links.size(), 1u);
}

TEST_F(OptionsDeviceLinkTest, IdentifierWithoutAGuidLeavesItsRowUnlinkable) {
  rig.audio.render = {Endpoint(u"{0.0.0.00000000}.", u"Broken")};
  Open();
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, kNoLink);
  EXPECT_FALSE(shown()[C::BtnSelectPlaybackDevicesProgram].enabled);
  rig.optionsView.picks = {kPlayer};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  EXPECT_TRUE(options().links.empty());
}

TEST_F(OptionsDeviceLinkTest, HotkeyActionRefreshesTheRowsBeforeTheFirstShowing) {
  TNotificationsForm& form = rig.Start();
  options().UpdateForm();
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, kNoLink);
  EXPECT_FALSE(shown()[C::BtnSelectPlaybackDevicesProgram].enabled);
  EXPECT_TRUE(shown()[C::checkDeviceLink].checked);
  EXPECT_EQ(form.Settings()[setting::DeviceLink], 1);
}

TEST_F(OptionsDeviceLinkTest, NamesWithAnAmpersandReachTheViewAsTheyAre) {
  rig.audio.render = {Endpoint(u"{0.0.0.00000000}." + kHeadsetGuid, u"Tom & Jerry")};
  rig.files.SetVersionResource(kNotepad,
                               {{0x0409, 0x04B0}, {{u"\\StringFileInfo\\040904b0\\ProductName", u"A&B"}}});
  Open();
  EXPECT_EQ(shown()[C::comboLinkPlaybackDevices].items, Lines{u"Tom & Jerry"});
  EXPECT_EQ(shown()[C::comboPlaybackDevices].items, Lines{u"Tom & Jerry"});
  rig.optionsView.picks = {kNotepad};
  options().ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
  EXPECT_EQ(shown()[C::editLinkPlaybackDevices].text, u"A&B");
}

}  // namespace
}  // namespace varnolet
