#include "engine/hostile_media.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>

#include "engine/media.h"

namespace kivo::engine::test {

namespace {

using Bytes = std::string;

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void PutLe(Bytes& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
}

void PutBe(Bytes& out, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i)
    out += static_cast<char>(value >> (8 * i));
}

Bytes RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

// Flips one bit every few hundred bytes past the first `keep` bytes, so the
// file still opens and its frames are damaged all through.
Bytes FlipBits(Bytes bytes, size_t keep) {
  std::mt19937 random(7);
  for (size_t at = keep; at < bytes.size(); at += 97 + random() % 200) {
    bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
  }
  return bytes;
}

// An ID3v2.3 text frame; `encoding` 0 is Latin-1, 3 is UTF-8.
Bytes Id3Frame(const char* id, char encoding, const Bytes& text) {
  Bytes frame(id);
  PutBe(frame, text.size() + 1, 4);
  frame += Bytes(2, '\0');
  frame += encoding;
  return frame + text;
}

Bytes Id3Tag(const Bytes& frames, uint32_t claimed_size) {
  Bytes tag("ID3\x03\x00\x00", 6);
  for (int shift : {21, 14, 7, 0}) {
    tag += static_cast<char>((claimed_size >> shift) & 0x7f);
  }
  return tag + frames;
}

// Title with NULs inside, artist that is not UTF-8, a 1 MB comment.
Bytes HostileId3(const Bytes& mp3) {
  Bytes frames = Id3Frame("TIT2", 0, Bytes("Ti\0tle\0\0x", 10));
  frames += Id3Frame("TPE1", 3, "\xff\xfe\xc3(\xe2\x82 <b>bad</b>");
  frames += Id3Frame("COMM", 0, "eng" + Bytes(1, '\0') + Bytes(1 << 20, 'c'));
  return Id3Tag(frames, static_cast<uint32_t>(frames.size())) + mp3;
}

// A RIFF WAVE header claiming 4 GB of 96-channel PCM over 64 KB of data.
Bytes LyingWav() {
  Bytes wav("RIFF");
  PutLe(wav, 0xffffffff, 4);
  wav += "WAVEfmt ";
  PutLe(wav, 16, 4);
  PutLe(wav, 1, 2);   // PCM
  PutLe(wav, 96, 2);  // channels
  PutLe(wav, 44100, 4);
  PutLe(wav, 44100 * 96 * 2, 4);
  PutLe(wav, 96 * 2, 2);
  PutLe(wav, 16, 2);
  wav += "data";
  PutLe(wav, 0xffffffff, 4);
  return wav + RandomBytes(65536, 3);
}

// A short WAV whose INFO list claims 4 GB and whose one tag in it claims
// 1.9 GB: a reader that trusts the sizes allocates them.
Bytes WavWithLyingInfo() {
  Bytes fmt("fmt ");
  PutLe(fmt, 16, 4);
  PutLe(fmt, 1, 2);  // PCM, mono, 8 kHz, 8 bits
  PutLe(fmt, 1, 2);
  PutLe(fmt, 8000, 4);
  PutLe(fmt, 8000, 4);
  PutLe(fmt, 1, 2);
  PutLe(fmt, 8, 2);
  Bytes list("LIST");
  PutLe(list, 0xf5000000, 4);
  list += "INFOISFT";
  PutLe(list, 0x7600610e, 4);
  list += "60.27.100";
  Bytes data("data");
  PutLe(data, 4000, 4);
  data += RandomBytes(4000, 9);
  Bytes wav("RIFF");
  PutLe(wav, 4 + fmt.size() + list.size() + data.size(), 4);
  return wav + "WAVE" + fmt + list + data;
}

// An AIFF claiming 60,672 channels: FFmpeg probes it, its decoder refuses.
Bytes LyingAiff() {
  Bytes comm("COMM");
  PutBe(comm, 18, 4);
  PutBe(comm, 0xed00, 2);  // channels
  PutBe(comm, 1200, 4);    // frames
  PutBe(comm, 16, 2);
  comm += Bytes("\x40\x0e\xac\x44\0\0\0\0\0\0", 10);  // 44100 Hz
  Bytes sound("SSND");
  PutBe(sound, 8 + 2048, 4);
  sound += Bytes(8, '\0') + RandomBytes(2048, 5);
  Bytes aiff("FORM");
  PutBe(aiff, 4 + comm.size() + sound.size(), 4);
  return aiff + "AIFF" + comm + sound;
}

// A ProTracker module whose 31 samples claim 128 KB each, with no sample
// data after its one pattern.
Bytes EmptySampleModule() {
  Bytes mod = Bytes("hollow") + Bytes(14, '\0');
  for (int sample = 0; sample < 31; ++sample) {
    mod += Bytes(22, 'S');
    PutBe(mod, 0xffff, 2);  // length in words
    mod += '\0';
    mod += '\x40';
    PutBe(mod, 0, 2);
    PutBe(mod, 0x8000, 2);  // loop length in words
  }
  mod += '\x01';
  mod += '\x7f';
  mod += Bytes(128, '\0');
  mod += "M.K.";
  Bytes pattern(1024, '\0');
  pattern[0] = '\x10';  // sample 1 ...
  pattern[1] = '\x1a';  // ... at a middle C period
  pattern[2] = '\x10';
  return mod + pattern;
}

// The file's first box, then a box claiming far more than the file holds.
Bytes BoxClaimingTooMuch(const Bytes& m4a) {
  uint32_t ftyp_size = 0;
  for (int i = 0; i < 4; ++i) {
    ftyp_size = ftyp_size << 8 | static_cast<uint8_t>(m4a[i]);
  }
  Bytes out = m4a.substr(0, ftyp_size);
  PutBe(out, 1, 4);
  out += "moov";
  PutBe(out, uint64_t{1} << 40, 8);  // 64-bit size: a terabyte
  PutBe(out, 0x7ffffff0, 4);
  out += "trak";
  return out + m4a.substr(ftyp_size, 4096);
}

std::string MetadataFile(const std::string& folder) {
  std::string path = folder + "/hostile.ffmeta";
  WriteAll(path, ";FFMETADATA1\ntitle=\xff\xfe bad \xc3( <i>x</i>\nartist=" +
                     Bytes(1 << 20, 'a') + "\n");
  return path;
}

}  // namespace

std::string HazardousName(const std::string& folder) {
  return folder + "/a|b;c $(touch pwned) 'q' \"d\" back\\slash \xff\xfe.mp3";
}

std::vector<HostileFile> WriteHostileMedia(const std::string& folder) {
  auto file = [&](const std::string& name) { return folder + "/" + name; };
  const char* kLame = "-c:a libmp3lame -id3v2_version 0 -write_xing 0";
  if (!Tone(file("good.mp3"), 440, 0.5, 1.0, kLame) ||
      !Tone(file("good.flac"), 440, 0.5, 1.0, "-c:a flac") ||
      !Tone(file("good.ogg"), 440, 0.5, 1.0, "-c:a libvorbis") ||
      !Tone(file("good.m4a"), 440, 0.5, 1.0, "-c:a aac") ||
      !Tone(file("fast.m4a"), 440, 0.5, 1.0, "-c:a aac -movflags +faststart") ||
      !Ffmpeg("-f lavfi -i sine=d=0.5 -i \"" + MetadataFile(folder) +
              "\" -map_metadata 1 -c:a flac \"" + file("tags.flac") + "\"")) {
    return {};
  }
  Bytes mp3 = ReadAll(file("good.mp3"));
  Bytes flac = ReadAll(file("good.flac"));
  Bytes m4a = ReadAll(file("good.m4a"));
  Bytes fast_m4a = ReadAll(file("fast.m4a"));
  // Each file's description, name and bytes; ffmpeg wrote tags.flac itself.
  const std::pair<HostileFile, std::optional<Bytes>> made[] = {
      {{"zero bytes", file("empty.mp3")}, ""},
      {{"random bytes", file("random.flac")}, RandomBytes(65536, 1)},
      {{"MP3 cut mid-frame", file("cut.mp3")},
       mp3.substr(0, mp3.size() * 2 / 5 + 3)},
      {{"FLAC cut mid-frame", file("cut.flac")},
       flac.substr(0, flac.size() / 2 + 5)},
      {{"M4A with its index cut", file("cut_index.m4a")},
       m4a.substr(0, m4a.size() - 200)},
      {{"M4A cut in its data", file("cut_data.m4a")},
       fast_m4a.substr(0, fast_m4a.size() / 2)},
      {{"MP3 with bit flips", file("flipped.mp3")}, FlipBits(mp3, 64)},
      {{"Ogg with bit flips", file("flipped.ogg")},
       FlipBits(ReadAll(file("good.ogg")), 4096)},
      {{"ID3v2 tag claiming 256 MB", file("id3_256mb.mp3")},
       Id3Tag("", 0x0fffffff) + mp3},
      {{"WAV claiming 4 GB and 96 channels", file("huge.wav")}, LyingWav()},
      {{"AIFF claiming 60,672 channels", file("many.aiff")}, LyingAiff()},
      {{"WAV tag claiming 1.9 GB", file("info.wav")}, WavWithLyingInfo()},
      {{"module samples with no data", file("hollow.mod")},
       EmptySampleModule()},
      {{"MP4 box claiming a terabyte", file("big_box.m4a")},
       BoxClaimingTooMuch(m4a)},
      {{"ID3 tags with NULs, bad UTF-8, 1 MB", file("tags.mp3")},
       HostileId3(mp3)},
      {{"FLAC tags with bad UTF-8 and 1 MB", file("tags.flac")}, std::nullopt},
      {{"hazardous name", HazardousName(folder)}, mp3},
  };
  std::vector<HostileFile> files;
  for (const auto& [hostile, bytes] : made) {
    if (bytes) WriteAll(hostile.path, *bytes);
    files.push_back(hostile);
  }
  return files;
}

}  // namespace kivo::engine::test
