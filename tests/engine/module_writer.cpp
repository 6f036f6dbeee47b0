#include "engine/module_writer.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace kivo::engine::test {

namespace {

constexpr size_t kSampleBytes = 64;

class Bytes {
 public:
  size_t size() const { return data_.size(); }
  void U8(uint32_t v) { data_.push_back(static_cast<char>(v & 0xff)); }
  void U16(uint32_t v) { U8(v), U8(v >> 8); }
  void U32(uint32_t v) { U16(v), U16(v >> 16); }
  void U16be(uint32_t v) { U8(v >> 8), U8(v); }
  void Text(const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) U8(i < text.size() ? text[i] : 0);
  }
  void Zeros(size_t count) { data_.resize(data_.size() + count, 0); }
  void PadTo(size_t size) { data_.resize(std::max(size, data_.size()), 0); }
  void SetU16(size_t at, uint32_t v) {
    data_[at] = static_cast<char>(v & 0xff);
    data_[at + 1] = static_cast<char>((v >> 8) & 0xff);
  }
  void SetU32(size_t at, uint32_t v) { SetU16(at, v), SetU16(at + 2, v >> 16); }
  void Square(bool as_unsigned, bool as_delta) {
    int previous = 0;
    for (size_t i = 0; i < kSampleBytes; ++i) {
      int value = i < kSampleBytes / 2 ? 64 : -64;
      int stored = as_delta ? value - previous : value;
      previous = value;
      U8(static_cast<uint32_t>(as_unsigned ? stored + 128 : stored));
    }
  }
  bool Save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out.write(data_.data(), static_cast<std::streamsize>(data_.size()));
    return static_cast<bool>(out);
  }

 private:
  std::vector<char> data_;
};

Bytes Mod(const std::string& title) {
  Bytes b;
  b.Text(title, 20);
  for (int i = 0; i < 31; ++i) {
    b.Text(i == 0 ? "square" : "", 22);
    b.U16be(i == 0 ? kSampleBytes / 2 : 0);
    b.U8(0), b.U8(i == 0 ? 64 : 0);
    b.U16be(0), b.U16be(i == 0 ? kSampleBytes / 2 : 1);
  }
  b.U8(1), b.U8(127);
  b.Zeros(128);
  b.Text("M.K.", 4);
  for (int row = 0; row < 64; ++row) {
    for (int channel = 0; channel < 4; ++channel) {
      if (row == 0 && channel == 0) {
        b.U8(0x01), b.U8(0xac), b.U8(0x10), b.U8(0);  // sample 1, period 428
      } else if (channel == 1 && (row == 0 || row == 15)) {
        b.U8(0), b.U8(0), b.U8(row == 0 ? 0x0f : 0x0d), b.U8(row == 0 ? 3 : 0);
      } else {
        b.U32(0);
      }
    }
  }
  b.Square(false, false);
  return b;
}

Bytes S3m(const std::string& title) {
  Bytes b;
  b.Text(title, 28);
  b.U8(0x1a), b.U8(16), b.U16(0);
  b.U16(2), b.U16(1), b.U16(1), b.U16(0), b.U16(0x1320), b.U16(2);
  b.Text("SCRM", 4);
  b.U8(64), b.U8(3), b.U8(125), b.U8(0xb0), b.U8(0), b.U8(0);
  b.Zeros(8), b.U16(0);
  for (int channel = 0; channel < 32; ++channel) {
    b.U8(channel == 0 ? 0 : channel == 1 ? 8 : 255);
  }
  b.U8(0), b.U8(0xff);                 // orders
  b.U16(0x70 >> 4), b.U16(0xc0 >> 4);  // instrument and pattern paragraphs
  b.PadTo(0x70);
  size_t sample_at = 0x70 + 0x0d;
  b.U8(1), b.Text("square.raw", 12), b.Zeros(3);
  b.U32(kSampleBytes), b.U32(0), b.U32(kSampleBytes);
  b.U8(64), b.U8(0), b.U8(0), b.U8(1), b.U32(8363), b.Zeros(12);
  b.Text("square", 28), b.Text("SCRS", 4);
  size_t pattern_at = b.size();
  b.U16(0);
  for (int row = 0; row < 64; ++row) {
    if (row == 0) b.U8(0x20), b.U8(0x40), b.U8(1), b.U8(0x81), b.U8(1), b.U8(3);
    if (row == 15) b.U8(0x81), b.U8(3), b.U8(0);
    b.U8(0);
  }
  b.SetU16(pattern_at, static_cast<uint32_t>(b.size() - pattern_at));
  b.PadTo((b.size() + 15) / 16 * 16);
  size_t paragraph = b.size() >> 4;
  b.SetU16(sample_at + 1, static_cast<uint32_t>(paragraph));
  b.Square(true, false);
  return b;
}

Bytes Xm(const std::string& title) {
  Bytes b;
  b.Text("Extended Module: ", 17), b.Text(title, 20), b.U8(0x1a);
  b.Text("Kivo tests", 20), b.U16(0x0104), b.U32(276);
  b.U16(1), b.U16(0), b.U16(2), b.U16(1), b.U16(1), b.U16(1), b.U16(3),
      b.U16(125);
  b.Zeros(256);
  b.U32(9), b.U8(0), b.U16(16), b.U16(16 * 2 * 5);
  for (int row = 0; row < 16; ++row) {
    if (row == 0) {
      b.U8(49), b.U8(1), b.U8(0), b.U8(0), b.U8(0);
    } else {
      b.Zeros(5);
    }
    b.Zeros(5);
  }
  b.U32(243), b.Text("square", 22), b.U8(0), b.U16(1), b.U32(40);
  b.Zeros(96 + 48 + 48 + 14), b.U16(0), b.U16(0);
  b.U32(kSampleBytes), b.U32(0), b.U32(kSampleBytes);
  b.U8(64), b.U8(0), b.U8(1), b.U8(128), b.U8(0), b.U8(0);
  b.Text("square", 22);
  b.Square(false, true);
  return b;
}

Bytes It(const std::string& title) {
  const std::string message = "made by the tests";
  Bytes b;
  b.Text("IMPM", 4), b.Text(title, 26), b.U16(0x1004);
  b.U16(2), b.U16(0), b.U16(1), b.U16(1), b.U16(0x0214), b.U16(0x0214);
  b.U16(0x09), b.U16(1);
  b.U8(128), b.U8(48), b.U8(3), b.U8(125), b.U8(128), b.U8(0);
  size_t message_fields = b.size();
  b.U16(0), b.U32(0), b.U32(0);
  for (int channel = 0; channel < 64; ++channel) b.U8(channel < 2 ? 32 : 160);
  for (int channel = 0; channel < 64; ++channel) b.U8(64);
  b.U8(0), b.U8(0xff);
  size_t offsets = b.size();
  b.U32(0), b.U32(0);
  b.SetU16(message_fields, static_cast<uint32_t>(message.size() + 1));
  b.SetU32(message_fields + 2, static_cast<uint32_t>(b.size()));
  b.Text(message, message.size() + 1);
  b.SetU32(offsets, static_cast<uint32_t>(b.size()));
  b.Text("IMPS", 4), b.Text("square.raw", 12), b.U8(0);
  b.U8(64), b.U8(0x11), b.U8(64), b.Text("square", 26), b.U8(1), b.U8(0);
  b.U32(kSampleBytes), b.U32(0), b.U32(kSampleBytes), b.U32(8363);
  b.U32(0), b.U32(0);
  size_t sample_pointer = b.size();
  b.U32(0), b.U32(0);
  b.SetU32(offsets + 4, static_cast<uint32_t>(b.size()));
  size_t pattern_at = b.size();
  b.U16(0), b.U16(16), b.U32(0);
  b.U8(0x81), b.U8(0x03), b.U8(60), b.U8(1);
  b.U8(0x82), b.U8(0x08), b.U8(1), b.U8(3), b.U8(0);
  for (int row = 1; row < 16; ++row) b.U8(0);
  b.SetU16(pattern_at, static_cast<uint32_t>(b.size() - pattern_at - 8));
  b.SetU32(sample_pointer, static_cast<uint32_t>(b.size()));
  b.Square(false, false);
  return b;
}

}  // namespace

bool WriteModule(const std::string& path, const std::string& kind,
                 const std::string& title) {
  if (kind == "mod") return Mod(title).Save(path);
  if (kind == "s3m") return S3m(title).Save(path);
  if (kind == "xm") return Xm(title).Save(path);
  if (kind == "it") return It(title).Save(path);
  return false;
}

}  // namespace kivo::engine::test
