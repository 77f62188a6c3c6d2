#include "input/hotkey_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_utf8.h"
#include "input_test_files.h"

namespace varnolet {
namespace {

using test_files::Bytes;
using test_files::DamagedHotkeyMap;
using test_files::Header;
using test_files::kCtrlShiftVNotifications;
using test_files::kEmptyMap;
using test_files::Record;

constexpr char16_t kHeadset[] = u"{0.0.0.00000000}.{5f1e3c2a-0b4d-4e6f-8a9b-0c1d2e3f4a5b}";

HotkeySlot Slot(std::initializer_list<int> positions, const std::u16string& identifier) {
  HotkeySlot slot;
  for (int position : positions) slot.pattern.keyboard.keys[static_cast<std::size_t>(position)] = 1;
  slot.identifier = identifier;
  return slot;
}

class HotkeyMapTest : public testing::Test {
 protected:
  // Reads `bytes`, expecting them to be accepted.
  std::vector<HotkeySlot> Read(const std::vector<std::uint8_t>& bytes) {
    std::vector<HotkeySlot> hotkeys;
    EXPECT_EQ(ReadHotkeyMap(bytes, utf8, hotkeys), HotkeyMapFault::None);
    return hotkeys;
  }

  fakes::FakeUtf8 utf8;
};

// ------------------------------------------------------------------ write

TEST_F(HotkeyMapTest, SlotsWithoutAHotkeyGiveTheNineteenByteHeader) {
  std::vector<HotkeyMapPiece> pieces;
  EXPECT_EQ(WriteHotkeyMap({Slot({key::kAlt}, hotkey_id::kNone), Slot({}, hotkey_id::kNone)}, utf8, &pieces),
            (std::vector<std::uint8_t>{0xEF, 0xBB, 0xBF, 0xC2, 0xD1, 0xCD, 0x2D, 0xCC, 0xC1, 0xD0, 0x2D, 0xD6,
                                       0xC1, 0xC9, 0xCB, 0x00, 0x00, 0x00, 0x00}));
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].field, HotkeyMapField::Encoding);
  EXPECT_EQ(pieces[0].size, 3u);
  EXPECT_EQ(pieces[1].field, HotkeyMapField::Signature);
  EXPECT_EQ(pieces[1].size, 12u);
  EXPECT_EQ(pieces[2].field, HotkeyMapField::Count);
  EXPECT_EQ(pieces[2].size, 4u);
}

TEST_F(HotkeyMapTest, CtrlShiftVForNotificationsIsOneRecord) {
  const std::vector<HotkeySlot> slots = {
      Slot({}, hotkey_id::kNone),
      Slot({key::kCtrl, key::kShift, key::kLetterV, key::kLeftCtrl}, hotkey_id::kNotifications)};
  const std::vector<std::uint8_t> bytes = WriteHotkeyMap(slots, utf8);
  EXPECT_EQ(bytes, Bytes(kCtrlShiftVNotifications));
  ASSERT_EQ(bytes.size(), 19u + 55u + 55u);  // the side-specific Ctrl is not stored
  EXPECT_EQ(bytes[15], 1);                   // count
  EXPECT_EQ(bytes[19 + 42], 1);              // letter V
  EXPECT_EQ(bytes[19 + 48], 0);              // Alt
  EXPECT_EQ(bytes[19 + 49], 1);              // Shift
  EXPECT_EQ(bytes[19 + 50], 1);              // Ctrl
  EXPECT_EQ(bytes[19 + 51], 55);             // N
}

TEST_F(HotkeyMapTest, EachRecordIsFlagsLengthAndIdentifierPieces) {
  const std::vector<HotkeySlot> slots = {Slot({key::kLetterA}, u"\u0391\u03BA"), Slot({}, hotkey_id::kNone),
                                         Slot({key::kLetterA + 1}, u"")};
  std::vector<HotkeyMapPiece> pieces;
  const std::vector<std::uint8_t> bytes = WriteHotkeyMap(slots, utf8, &pieces);
  const std::vector<std::pair<HotkeyMapField, std::uint32_t>> expected = {
      {HotkeyMapField::Encoding, 3}, {HotkeyMapField::Signature, 12}, {HotkeyMapField::Count, 4},
      {HotkeyMapField::Flags, 51},   {HotkeyMapField::Length, 4},     {HotkeyMapField::Identifier, 4},
      {HotkeyMapField::Flags, 51},   {HotkeyMapField::Length, 4},     {HotkeyMapField::Identifier, 0}};
  ASSERT_EQ(pieces.size(), expected.size());
  std::size_t total = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pieces[i].field, expected[i].first);
    EXPECT_EQ(pieces[i].size, expected[i].second);
    total += pieces[i].size;
  }
  EXPECT_EQ(total, bytes.size());
}

// ------------------------------------------------------------------- read

TEST_F(HotkeyMapTest, NoBytesAreNoHotkeys) {
  std::vector<HotkeySlot> hotkeys = {Slot({key::kLetterA}, kHeadset)};
  EXPECT_EQ(ReadHotkeyMap({}, utf8, hotkeys), HotkeyMapFault::None);
  EXPECT_TRUE(hotkeys.empty());
}

TEST_F(HotkeyMapTest, WrittenSlotsReadBackInSlotOrder) {
  const std::vector<HotkeySlot> slots = {
      Slot({key::kAlt, key::kDigit0 + 9}, hotkey_id::kDisableHotkeys), Slot({}, hotkey_id::kNone),
      Slot({key::kShift, key::kLetterU}, kHeadset), Slot({key::kLetterW + 3}, u"Ακουστικά")};
  const std::vector<HotkeySlot> read = Read(WriteHotkeyMap(slots, utf8));
  ASSERT_EQ(read.size(), 3u);
  for (std::size_t i : {0, 1, 2}) {
    const HotkeySlot& written = slots[i == 0 ? 0 : i + 1];
    EXPECT_EQ(read[i].identifier, written.identifier);
    EXPECT_EQ(read[i].pattern.keyboard.keys, written.pattern.keyboard.keys);
  }
}

TEST_F(HotkeyMapTest, OnlyTheStoredFlagsAreRead) {
  // Key positions past 47 other than Alt, Shift and Ctrl are not stored.
  const HotkeySlot slot = Slot({key::kLetterA, key::kLeftCtrl, key::kCtrl}, kHeadset);
  const std::vector<HotkeySlot> read = Read(WriteHotkeyMap({slot}, utf8));
  ASSERT_EQ(read.size(), 1u);
  for (std::size_t i = 0; i < key::kCount; ++i) {
    SCOPED_TRACE(i);
    const bool set = i == key::kLetterA || i == key::kCtrl;
    EXPECT_EQ(read[0].pattern.keyboard.keys[i], set ? 1 : 0);
  }
}

TEST_F(HotkeyMapTest, OtherFirstThreeBytesStillRead) {
  std::vector<std::uint8_t> bytes = Bytes(kCtrlShiftVNotifications);
  bytes[0] = 'X', bytes[1] = 0, bytes[2] = 0xFF;
  const std::vector<HotkeySlot> read = Read(bytes);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].identifier, hotkey_id::kNotifications);
  EXPECT_EQ(read[0].pattern.keyboard.keys[key::kLetterV], 1);
}

TEST_F(HotkeyMapTest, AnIdentifierThatIsNotUtf8BecomesEmptyAndTheReadGoesOn) {
  std::vector<std::uint8_t> bytes = Header(2);
  Record(bytes, {key::kLetterA}, 0, 0, 1, "\xC0\xAF\xFF");
  Record(bytes, {key::kLetterV}, 1, 0, 0, test_files::Narrow(kHeadset));
  const std::vector<HotkeySlot> read = Read(bytes);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].identifier, u"");
  EXPECT_EQ(read[1].identifier, kHeadset);
  EXPECT_EQ(read[0].pattern.keyboard.keys[key::kCtrl], 1);
  EXPECT_EQ(read[1].pattern.keyboard.keys[key::kAlt], 1);
}

TEST_F(HotkeyMapTest, FlagBytesOtherThanOneStillMeanHeld) {
  std::vector<std::uint8_t> bytes = Header(1);
  Record(bytes, {}, 7, 0, 0, "x");
  bytes[19 + key::kLetterA] = 0x80;
  const std::vector<HotkeySlot> read = Read(bytes);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].pattern.keyboard.keys[key::kLetterA], 1);
  EXPECT_EQ(read[0].pattern.keyboard.keys[key::kAlt], 1);
}

TEST_F(HotkeyMapTest, BytesAfterTheLastRecordAreNotLookedAt) {
  std::vector<std::uint8_t> bytes = Bytes(kCtrlShiftVNotifications);
  bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE, 0xEF});
  const std::vector<HotkeySlot> read = Read(bytes);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].identifier, hotkey_id::kNotifications);
}

class DamagedHotkeyMapTest : public HotkeyMapTest, public testing::WithParamInterface<DamagedHotkeyMap> {};

TEST_P(DamagedHotkeyMapTest, IsRejectedForItsReasonAndLeavesTheListAsItWas) {
  const DamagedHotkeyMap& c = GetParam();
  std::vector<HotkeySlot> hotkeys = {Slot({key::kLetterA}, kHeadset)};
  EXPECT_EQ(ReadHotkeyMap(c.bytes, utf8, hotkeys), c.fault);
  ASSERT_EQ(hotkeys.size(), 1u);
  EXPECT_EQ(hotkeys[0].identifier, kHeadset);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedHotkeyMapTest, testing::ValuesIn(test_files::DamagedHotkeyMaps()),
                         [](const testing::TestParamInfo<DamagedHotkeyMap>& p) {
                           return std::string(p.param.name);
                         });

}  // namespace
}  // namespace varnolet
