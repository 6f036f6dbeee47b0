// The ICY splitter on its own: block boundaries in any place, repeats,
// padding, and the icy-metaint values a hostile server may send.
#include "engine/icy_demuxer.h"

#include <gtest/gtest.h>

namespace kivo::engine {
namespace {

struct Split {
  std::string audio;
  std::vector<std::string> metas;
  IcyDemuxer demuxer;

  explicit Split(size_t metaint)
      : demuxer(
            metaint,
            [this](const uint8_t* data, size_t length) {
              audio.append(reinterpret_cast<const char*>(data), length);
            },
            [this](const std::string& text) { metas.push_back(text); }) {}

  void Feed(const std::string& bytes, size_t piece) {
    for (size_t at = 0; at < bytes.size(); at += piece) {
      std::string part = bytes.substr(at, piece);
      demuxer.Feed(reinterpret_cast<const uint8_t*>(part.data()), part.size());
    }
  }
};

std::string Block(const std::string& text) {
  std::string padded = text;
  padded.resize((text.size() + 15) / 16 * 16, '\0');
  return std::string(1, static_cast<char>(padded.size() / 16)) + padded;
}

TEST(IcyDemuxer, SplitsAudioFromMetadataWhereverThePiecesEnd) {
  std::string stream = "abcd" + Block("StreamTitle='One';") + "efgh" +
                       std::string(1, '\0') + "ijkl" +
                       Block("StreamTitle='One';") + "mnop" +
                       Block("StreamTitle='Two';") + "qr";
  for (size_t piece : {1u, 3u, 5u, 1000u}) {
    SCOPED_TRACE(piece);
    Split split(4);
    split.Feed(stream, piece);
    EXPECT_EQ(split.audio, "abcdefghijklmnopqr");
    EXPECT_EQ(split.metas, (std::vector<std::string>{"StreamTitle='One';",
                                                     "StreamTitle='Two';"}));
    EXPECT_EQ(split.demuxer.latest(), "StreamTitle='Two';");
  }
}

TEST(IcyDemuxer, WithoutMetaintEverythingIsAudio) {
  Split split(0);
  split.Feed(std::string("\x01StreamTitle", 12), 4);
  EXPECT_EQ(split.audio.size(), 12u);
  EXPECT_TRUE(split.metas.empty());
  EXPECT_FALSE(split.demuxer.latest());
}

TEST(IcyDemuxer, MetaintHeaderValues) {
  EXPECT_EQ(ParseIcyMetaint("16000"), 16000u);
  EXPECT_EQ(ParseIcyMetaint(" 8192\r\n"), 8192u);
  for (const char* bogus :
       {"", "banana", "-5", "0x10", "12a", "99999999999", "2000000"}) {
    EXPECT_EQ(ParseIcyMetaint(bogus), 0u) << bogus;
  }
}

}  // namespace
}  // namespace kivo::engine
