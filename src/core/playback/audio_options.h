#pragma once

#include <string>

#include "core/app/context.h"
#include "core/app/player_state.h"

namespace kivo {

// Options > Audio Device: one radio item per output device the library
// lists, the stored `device` checked.
void BuildDeviceMenu(Context& context, PlayerState& state);
// A device item was clicked: the playing channel stops and the library is
// opened again on that device. When that fails the program ends. Throws
// SettingsWriteError.
void SelectDevice(Context& context, PlayerState& state,
                  const std::string& item_name);

// `Proxy` and `Ftp1` handed to the library (startup).
void ApplyProxyOption(Context& context);
void ApplyPassiveFtpOption(Context& context);
void ApplyNetworkOptions(Context& context);
// Clicks on the self-checking Proxy1 and Ftp1 items. Throw SettingsWriteError.
void ProxyClick(Context& context);
void FtpClick(Context& context);

}  // namespace kivo
