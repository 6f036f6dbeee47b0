#pragma once

#include <QString>
#include <string>

namespace kivo::desktop {

// The text as the user should read it: UTF-8 when it is valid UTF-8, else
// the bytes read as Windows-1252, so that an old Latin-1 playlist line or
// radio title shows its accents instead of replacement characters.
QString DisplayText(const std::string& text);

// DisplayText with CR LF and lone CR line breaks turned into Qt's LF.
QString MultiLineText(const std::string& text);

// `text` made safe for a widget that guesses between plain and rich text (a
// tooltip, a balloon, a notification body): a word joiner after each "<" and
// before the "lt;" of each "&lt;" keeps Qt and notification servers from
// reading markup, and prints nothing.
QString LiteralText(const QString& text);

// What the user typed, as the core keeps text: UTF-8.
std::string CoreText(const QString& text);

// A path as the file system stores it (the locale's 8-bit encoding).
std::string PathBytes(const QString& path);
QString PathFromBytes(const std::string& path);

}  // namespace kivo::desktop
