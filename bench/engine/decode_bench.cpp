// Decodes a file with the engine's own file decoder as fast as it can into a
// null sink; prints the wall-clock seconds and the decoded seconds of audio.
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/ffmpeg_decoder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  auto decoder =
      kivo::engine::FfmpegDecoder::OpenFile(std::string("file:") + argv[1]);
  if (!decoder) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 1;
  }
  std::vector<float> buffer(2048 * 2);
  uint64_t frames = 0;
  float sink = 0;
  while (size_t got = decoder->Read(buffer.data(), 2048)) {
    frames += got;
    sink += buffer[0];
  }
  std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  std::printf("%.3f %.1f %g\n", wall.count(),
              static_cast<double>(frames) / decoder->format().sample_rate,
              static_cast<double>(sink) * 0);
  return 0;
}
