#include "link/device_link_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_link.h"
#include "link_test_files.h"

namespace varnolet {
namespace {

using fakes::GuidOf;
using test_files::Bytes;
using test_files::Concat;
using test_files::DamagedLinkMap;
using test_files::kEmptyList;
using test_files::kOneLink;

const DEVICELINK kExample{GuidOf(u"{00112233-4455-6677-8899-AABBCCDDEEFF}"), u"Ab", u"C:\\x.exe"};

std::vector<DEVICELINK> Read(const Bytes& bytes) {
  std::vector<DEVICELINK> links;
  EXPECT_EQ(ReadDeviceLinkMap(bytes, links), DeviceLinkMapFault::None);
  return links;
}

// ------------------------------------------------------------------ write

// Each case: the links, the bytes, and the sizes of the pieces (the first is the signature).
struct WrittenCase {
  const char* name;
  std::vector<DEVICELINK> links;
  Bytes bytes;
  std::vector<std::uint32_t> pieces;
};

class WrittenMapTest : public testing::TestWithParam<WrittenCase> {};

TEST_P(WrittenMapTest, IsTheseBytesInThesePieces) {
  const WrittenCase& c = GetParam();
  std::vector<DeviceLinkMapPiece> pieces;
  EXPECT_EQ(WriteDeviceLinkMap(c.links, &pieces), c.bytes);
  ASSERT_EQ(pieces.size(), c.pieces.size());
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pieces[i].size, c.pieces[i]);
    EXPECT_EQ(pieces[i].field, i == 0 ? DeviceLinkMapField::Signature : DeviceLinkMapField::Data);
  }
  EXPECT_EQ(WriteDeviceLinkMap(c.links), c.bytes);  // the same without the pieces
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrittenMapTest,
    testing::Values(WrittenCase{"NoLinks", {}, kEmptyList, {3, 4}},
                    WrittenCase{"OneLink", {kExample}, kOneLink, {3, 4, 16, 4, 4, 4, 16}},
                    // An empty text is its length of 0 alone.
                    WrittenCase{"EmptyStrings",
                                {DEVICELINK{GuidOf(u"{00000001-0002-0003-0405-060708090A0B}"), u"", u""}},
                                {0xB1, 0xB2, 0xB3, 1, 0, 0,  0,  1, 0, 0, 0, 2, 0, 3, 0, 4,
                                 5,    6,    7,    8, 9, 10, 11, 0, 0, 0, 0, 0, 0, 0, 0},
                                {3, 4, 16, 4, 4}},
                    // Code units past U+00FF keep their high byte.
                    WrittenCase{
                        "GreekPath",
                        {DEVICELINK{GuidOf(u"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFE}"), u"", u"\u03A0"}},
                        Concat({{0xB1, 0xB2, 0xB3, 1, 0, 0, 0},
                                Bytes(15, 0xFF),
                                {0xFE, 0, 0, 0, 0, 1, 0, 0, 0, 0xA0, 0x03}}),
                        {3, 4, 16, 4, 4, 2}}),
    [](const testing::TestParamInfo<WrittenCase>& row) { return std::string(row.param.name); });

// ------------------------------------------------------------------- read

TEST(DeviceLinkMapTest, TheOneLinkExampleReads) {
  const std::vector<DEVICELINK> links = Read(kOneLink);
  EXPECT_EQ(links, std::vector<DEVICELINK>{kExample});
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].endpoint.data1, 0x00112233u);
}

TEST(DeviceLinkMapTest, NoBytesAreNoLinks) {
  std::vector<DEVICELINK> links = {kExample};
  EXPECT_EQ(ReadDeviceLinkMap({}, links), DeviceLinkMapFault::None);
  EXPECT_TRUE(links.empty());
}

TEST(DeviceLinkMapTest, WrittenLinksReadBackInOrder) {
  const std::vector<DEVICELINK> written = {
      kExample,
      DEVICELINK{GuidOf(u"{0A0B0C0D-1111-2222-3333-444455556666}"), u"",
                 u"D:\\\u03A0\u03C1\u03CC\u03B3\u03C1\u03B1\u03BC\u03BC\u03B1\\rec.exe"},
      DEVICELINK{GuidOf(u"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFE}"), u"Player Pro", u""}};
  EXPECT_EQ(Read(WriteDeviceLinkMap(written)), written);
}

TEST(DeviceLinkMapTest, BytesAfterTheLastRecordAreNotLookedAt) {
  EXPECT_EQ(Read(Concat({kOneLink, Bytes{0xDE, 0xAD, 0xBE, 0xEF, 0x01}})), std::vector<DEVICELINK>{kExample});
}

class DamagedLinkMapTest : public testing::TestWithParam<DamagedLinkMap> {};

TEST_P(DamagedLinkMapTest, IsRejectedForItsReasonAndLeavesTheListAsItWas) {
  const DamagedLinkMap& c = GetParam();
  std::vector<DEVICELINK> links = {kExample};
  EXPECT_EQ(ReadDeviceLinkMap(c.bytes, links), c.fault);
  EXPECT_EQ(links, std::vector<DEVICELINK>{kExample});
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedLinkMapTest, testing::ValuesIn(test_files::DamagedLinkMaps()),
                         [](const testing::TestParamInfo<DamagedLinkMap>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
}  // namespace varnolet
