// The boxes of HEIF files read before decoding, on files built box by box: which pictures libheif
// would allocate and how large, and whether the container turns the primary picture.
#include "model/heif_structure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zerva {
namespace {

std::string Be(uint64_t value, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

std::string BoxOf(const std::string& type, const std::string& content) {
  return Be(8 + content.size(), 4) + type + content;
}

std::string FullBox(const std::string& type, int version, int flags, const std::string& content) {
  return BoxOf(type, static_cast<char>(version) + Be(flags, 3) + content);
}

struct Item {
  uint32_t id = 0;
  std::string type;
  int method = 0;  // 0: data at `offset` in the file, 1: in the item data box
  uint64_t offset = 0, length = 0;
  std::vector<int> properties;  // indices into the property list, from 1
};

// ftyp, then meta: primary item 1, the items, their data locations and properties.
std::string HeifFileOf(const std::vector<Item>& items, const std::string& idat,
                       const std::vector<std::string>& properties, const std::string& tail = {}) {
  std::string infe, iloc, ipma;
  for (const Item& item : items) {
    infe += FullBox("infe", 2, 0, Be(item.id, 2) + Be(0, 2) + item.type + std::string(1, '\0'));
    iloc += Be(item.id, 2) + Be(item.method, 2) + Be(0, 2) + Be(1, 2) + Be(item.offset, 4) +
            Be(item.length, 4);
    ipma += Be(item.id, 2) + static_cast<char>(item.properties.size());
    for (int index : item.properties) ipma += static_cast<char>(index);
  }
  std::string ipco;
  for (const std::string& property : properties) ipco += property;
  const std::string meta = FullBox(
      "meta", 0, 0,
      FullBox("pitm", 0, 0, Be(1, 2)) + FullBox("iinf", 0, 0, Be(items.size(), 2) + infe) +
          FullBox("iloc", 1, 0, std::string("\x44\x00", 2) + Be(items.size(), 2) + iloc) +
          BoxOf("idat", idat) +
          BoxOf("iprp", BoxOf("ipco", ipco) + FullBox("ipma", 0, 0, Be(items.size(), 4) + ipma)));
  return BoxOf("ftyp", "heic" + Be(0, 4) + "mif1heic") + meta + tail;
}

HeifStructure Read(const std::string& file) {
  MemoryChunkSource source(file);
  return ReadHeifStructure(source);
}

const std::string kIrot = BoxOf("irot", std::string(1, '\x01'));
const std::string kImir = BoxOf("imir", std::string(1, '\0'));

TEST(HeifStructureTest, AGridIsAsLargeAsItsHeaderSaysWhateverItsPropertiesClaim) {
  // The size a fuzzed file gave: 20020 x 26725 in the grid's own header, 24 x 16 in its ispe.
  const std::string ispe = FullBox("ispe", 0, 0, Be(24, 4) + Be(16, 4));
  const std::string narrow = std::string("\0\0\0\0", 4) + Be(20020, 2) + Be(26725, 2);
  HeifStructure read = Read(HeifFileOf({{1, "grid", 1, 0, 8, {1}}}, narrow, {ispe}));
  EXPECT_TRUE(read.codingRead);
  EXPECT_EQ(read.largestCoded, (PixelSize{20020, 26725}));
  // Flag 1: 32-bit sizes.
  const std::string wide = std::string("\0\x01\0\0", 4) + Be(100000, 4) + Be(3, 4);
  read = Read(HeifFileOf({{1, "grid", 1, 0, 12, {1}}}, wide, {ispe}));
  EXPECT_TRUE(read.codingRead);
  EXPECT_EQ(read.largestCoded, (PixelSize{100000, 3}));
  // An overlay names its size after four fill values.
  const std::string overlay =
      std::string("\0\0", 2) + std::string(8, '\0') + Be(640, 2) + Be(480, 2);
  read = Read(HeifFileOf({{1, "iovl", 1, 0, 14, {1}}}, overlay, {ispe}));
  EXPECT_EQ(read.largestCoded, (PixelSize{640, 480}));
  // A header that is not there cannot be vouched for.
  EXPECT_FALSE(Read(HeifFileOf({{1, "grid", 1, 4, 8, {1}}}, narrow, {ispe})).codingRead);
  EXPECT_FALSE(Read(HeifFileOf({{1, "grid", 0, 1 << 20, 8, {1}}}, narrow, {ispe})).codingRead);
}

TEST(HeifStructureTest, CodedDataIsWalkedForParameterSetsOfItsOwn) {
  // A slice NAL unit in the file after the metadata: nothing to bound, nothing refused.
  const std::string slice = Be(3, 4) + std::string("\x02\x01\xAA", 3);
  std::string file = HeifFileOf({{1, "hvc1", 0, 0, 7, {}}}, {}, {});
  const uint64_t at = file.size();
  file = HeifFileOf({{1, "hvc1", 0, at, 7, {}}}, {}, {}, slice);
  ASSERT_EQ(file.size(), at + slice.size());
  HeifStructure read = Read(file);
  EXPECT_TRUE(read.codingRead);
  EXPECT_EQ(read.largestCoded, (PixelSize{0, 0}));
  // A sequence parameter set (type 33) too short to give its size: refused, as the decoder
  // would take it.
  const std::string sps = Be(3, 4) + std::string("\x42\x01\x01", 3);
  file = HeifFileOf({{1, "hvc1", 0, at, 7, {}}}, {}, {}, sps);
  EXPECT_FALSE(Read(file).codingRead);
  // Coded data said to lie beyond the end of the file.
  file = HeifFileOf({{1, "hvc1", 0, at, 700, {}}}, {}, {}, slice);
  EXPECT_FALSE(Read(file).codingRead);
  // A decoder configuration whose parameter set arrays run past its end.
  const std::string hvcC =
      BoxOf("hvcC", std::string(22, '\0') + std::string("\x01\xA1\x00\x05", 4));
  file = HeifFileOf({{1, "hvc1", 0, at, 7, {1}}}, {}, {hvcC}, slice);
  EXPECT_FALSE(Read(file).codingRead);
}

TEST(HeifStructureTest, OnlyATurnOrMirrorOfThePrimaryPictureCounts) {
  const std::string ispe = FullBox("ispe", 0, 0, Be(64, 4) + Be(48, 4));
  const std::string grid = std::string("\0\0\0\0", 4) + Be(64, 2) + Be(48, 2);
  EXPECT_TRUE(
      Read(HeifFileOf({{1, "grid", 1, 0, 8, {1, 2}}}, grid, {ispe, kIrot})).primaryTransformed);
  EXPECT_TRUE(
      Read(HeifFileOf({{1, "grid", 1, 0, 8, {2, 1}}}, grid, {ispe, kImir})).primaryTransformed);
  EXPECT_FALSE(
      Read(HeifFileOf({{1, "grid", 1, 0, 8, {1}}, {2, "grid", 1, 0, 8, {2}}}, grid, {ispe, kIrot}))
          .primaryTransformed);
  EXPECT_FALSE(Read(HeifFileOf({{1, "grid", 1, 0, 8, {1, 7}}}, grid, {ispe, kIrot}))
                   .primaryTransformed);  // an index past the property list
}

TEST(HeifStructureTest, BrokenBoxesGiveNothingToVouchFor) {
  const std::string good =
      HeifFileOf({{1, "grid", 1, 0, 8, {}}}, std::string("\0\0\0\0\0\x40\0\x30", 8), {});
  ASSERT_TRUE(Read(good).codingRead);
  for (size_t cut : {size_t{10}, size_t{40}, good.size() - 20}) {
    SCOPED_TRACE(cut);
    EXPECT_FALSE(Read(good.substr(0, cut)).codingRead);
  }
  std::string lying = good;
  lying.replace(24, 4, Be(0xFFFFFFF0u, 4));  // the metadata box claims 4 GB
  EXPECT_FALSE(Read(lying).codingRead);
}

}  // namespace
}  // namespace zerva
