#include "engine/tags_format.h"

#include <cstring>

#include "engine/engine.h"
#include "engine/engine_impl.h"

namespace kivo::engine {

namespace {

const char* TagKey(const std::string& format, size_t at) {
  static const std::pair<const char*, const char*> kCodes[] = {
      {"%TRCK", "track"},   {"%TITL", "title"}, {"%ARTI", "artist"},
      {"%ALBM", "album"},   {"%GNRE", "genre"}, {"%YEAR", "year"},
      {"%CMNT", "comment"},
  };
  for (const auto& [code, key] : kCodes) {
    if (format.compare(at, std::strlen(code), code) == 0) return key;
  }
  return nullptr;
}

}  // namespace

std::string FormatTags(const TagMap& tags, const std::string& format) {
  std::string text;
  for (size_t i = 0; i < format.size();) {
    const char* key = format[i] == '%' ? TagKey(format, i) : nullptr;
    if (!key) {
      text += format[i++];
      continue;
    }
    auto it = tags.find(key);
    if (it != tags.end()) text += it->second;
    i += 5;
  }
  return text;
}

std::string Engine::TagsRead(Handle handle, const std::string& format) {
  if (handle == 0) return {};
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  return channel ? FormatTags(channel->tags(), format) : std::string();
}

}  // namespace kivo::engine
