// Plays a file through the whole engine (decode thread, mixer, SDL output)
// for a number of seconds; run it under SDL's dummy driver and measure it
// from outside.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "engine/engine.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FILE SECONDS\n", argv[0]);
    return 2;
  }
  kivo::engine::Engine audio;
  if (!audio.Init(1, 44100, 0)) return 1;
  auto handle = audio.StreamCreateFile(argv[1], 0, 0, 0);
  if (!handle || !audio.ChannelPlay(handle, true)) return 1;
  std::this_thread::sleep_for(std::chrono::seconds(std::atoi(argv[2])));
  double played =
      audio.ChannelBytes2Seconds(handle, audio.ChannelGetPosition(handle, 0));
  std::printf("%.1f\n", played);
  audio.Free();
  return 0;
}
