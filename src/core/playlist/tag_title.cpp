#include "core/playlist/tag_title.h"

#include <utility>

namespace kivo {
namespace {

void ReplaceFirst(std::string& text, const std::string& placeholder,
                  const std::string& value) {
  size_t at = text.find(placeholder);
  if (at != std::string::npos) text.replace(at, placeholder.size(), value);
}

}  // namespace

std::string TagTitle(Context& context, const std::string& location) {
  AudioLibrary& audio = context.platform.audio;
  AudioLibrary::Handle probe =
      audio.StreamCreateFile(location, 0, 0, AudioLibrary::kStreamDecode);
  std::string text = context.settings.ReadSettingText(
      "Settings", "TagSyntax", "%TITLE% - %ARTIST% (%ALBUM%)");
  for (auto [placeholder, tag] : {std::pair{"%TRACK%", "%TRCK"},
                                  {"%TITLE%", "%TITL"},
                                  {"%ARTIST%", "%ARTI"},
                                  {"%ALBUM%", "%ALBM"}}) {
    std::string value = probe ? audio.TagsRead(probe, tag) : std::string();
    ReplaceFirst(text, placeholder, value);
  }
  if (probe) audio.StreamFree(probe);
  return text;
}

}  // namespace kivo
