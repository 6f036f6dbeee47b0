#pragma once

#include <cstdint>

// Channel types the engine reports beyond the ones AudioLibrary names. The
// built-in decoders use 0x10006..0x11fff; plug-ins pick theirs from 0x18000 up
// (see plugin_abi.h).
namespace kivo::engine::ctype {

constexpr uint32_t kAiff = 0x10006;
constexpr uint32_t kWma = 0x10300;
constexpr uint32_t kWavPack = 0x10500;
constexpr uint32_t kApe = 0x10700;
constexpr uint32_t kFlac = 0x10900;
constexpr uint32_t kOggFlac = 0x10901;
constexpr uint32_t kMusepack = 0x10a00;
constexpr uint32_t kAac = 0x10b00;
constexpr uint32_t kMp4 = 0x10b01;
constexpr uint32_t kSpeex = 0x10c00;
constexpr uint32_t kIff = 0x10d00;
constexpr uint32_t kAlac = 0x10e00;
constexpr uint32_t kTta = 0x10f00;
constexpr uint32_t kAc3 = 0x11000;
constexpr uint32_t kOpus = 0x11200;
constexpr uint32_t kOtherStream = 0x11f00;
// Modules libopenmpt loads that are none of mod, mtm, s3m, xm, it.
constexpr uint32_t kOtherModule = 0x20005;

}  // namespace kivo::engine::ctype
