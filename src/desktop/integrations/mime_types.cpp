#include "desktop/integrations/mime_types.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <utility>

namespace kivo::desktop {
namespace {

// What shared-mime-info calls these extensions; the few it does not know get
// the names other players use for them.
constexpr std::array<std::pair<const char*, const char*>, 27> kPlayerTypes{{
    {".mp3", "audio/mpeg"},       {".mp2", "audio/mp2"},
    {".mp1", "audio/x-mp1"},      {".ogg", "audio/ogg"},
    {".wma", "audio/x-ms-wma"},   {".flac", "audio/flac"},
    {".wav", "audio/x-wav"},      {".m4a", "audio/mp4"},
    {".aac", "audio/aac"},        {".cda", "application/x-cda"},
    {".it", "audio/x-it"},        {".xm", "audio/x-xm"},
    {".s3m", "audio/x-s3m"},      {".mtm", "audio/x-mod"},
    {".umx", "audio/x-mod"},      {".mo3", "audio/x-mo3"},
    {".mod", "audio/x-mod"},      {".aiff", "audio/x-aiff"},
    {".ac3", "audio/ac3"},        {".ape", "audio/x-ape"},
    {".mpc", "audio/x-musepack"}, {".ofr", "audio/x-optimfrog"},
    {".spx", "audio/x-speex"},    {".tta", "audio/x-tta"},
    {".wv", "audio/x-wavpack"},   {".m3u", "audio/x-mpegurl"},
    {".pls", "audio/x-scpls"},
}};

// The type of one line of globs2 ("weight:type:glob[:flags]") or of the
// older globs ("type:glob") when its glob is "*" + extension.
std::optional<std::string> MatchGlobLine(const std::string& line, bool weighted,
                                         const std::string& extension) {
  if (line.empty() || line[0] == '#') return std::nullopt;
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t colon = line.find(':', start);
    fields.push_back(line.substr(start, colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  const size_t type_field = weighted ? 1 : 0;
  if (fields.size() < type_field + 2) return std::nullopt;
  const std::string& glob = fields[type_field + 1];
  const bool case_sensitive = weighted && fields.size() > 3 &&
                              fields[3].find("cs") != std::string::npos;
  const std::string wanted = "*" + extension;
  const bool same = case_sensitive
                        ? glob == wanted
                        : strcasecmp(glob.c_str(), wanted.c_str()) == 0;
  if (!same) return std::nullopt;
  return fields[type_field];
}

void AddAudioTypesOfGlobFile(const std::string& path, bool weighted,
                             const std::string& extension,
                             std::vector<std::string>* types) {
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    const auto type = MatchGlobLine(line, weighted, extension);
    if (type && type->rfind("audio/", 0) == 0 &&
        std::find(types->begin(), types->end(), *type) == types->end()) {
      types->push_back(*type);
    }
  }
}

}  // namespace

std::vector<std::string> MimeTypesForExtension(
    const std::string& extension, const std::vector<std::string>& data_dirs) {
  std::vector<std::string> types;
  for (const std::string& dir : data_dirs) {
    // A folder with the newer globs2 file keeps globs only for old readers.
    const std::string globs2 = dir + "/mime/globs2";
    if (std::ifstream(globs2)) {
      AddAudioTypesOfGlobFile(globs2, true, extension, &types);
    } else {
      AddAudioTypesOfGlobFile(dir + "/mime/globs", false, extension, &types);
    }
  }
  if (!types.empty()) return types;
  for (const auto& [known, mime_type] : kPlayerTypes) {
    if (extension == known) types.push_back(mime_type);
  }
  return types;
}

std::vector<std::string> PlayerMimeTypes() {
  std::vector<std::string> types;
  for (const auto& entry : kPlayerTypes) {
    if (std::find(types.begin(), types.end(), entry.second) == types.end()) {
      types.push_back(entry.second);
    }
  }
  return types;
}

}  // namespace kivo::desktop
