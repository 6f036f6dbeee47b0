#pragma once

#include "core/app/context.h"

namespace kivo {

// The program's version text: the about box caption and the network agent.
inline constexpr char kVersionText[] = "Kivo Player v1.31";

// The about box with the credits of the current language file.
void ShowAbout(const Context& context);
// The donation page in the desktop's browser; nothing is stored.
void OpenDonationPage(const Context& context);
// The tray's playing title, exactly as its caption stands, to the clipboard.
void CopyPlayingTitle(const Context& context);

}  // namespace kivo
