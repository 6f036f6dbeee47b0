#include "core/ui/tag_info.h"

#include "core/playlist/entry_names.h"

namespace kivo {
namespace {

void FillCaptions(const Context& context, TagWindowContent* content) {
  auto text = [&context](const char* key, const char* english) {
    return context.Text("Tags", key, english);
  };
  content->file_caption = text("01", "File");
  content->tags_caption = text("02", "Tags");
  content->title = content->tags_caption;
  content->track_label = text("03", "Track #");
  content->title_label = text("04", "Title");
  content->artist_label = text("05", "Artist");
  content->album_label = text("06", "Album");
  content->year_label = text("07", "Year");
  content->genre_label = text("08", "Genre");
  content->comment_label = text("09", "Comment");
}

void FillTags(AudioLibrary& audio, const std::string& location,
              TagWindowContent* content) {
  AudioLibrary::Handle probe =
      audio.StreamCreateFile(location, 0, 0, AudioLibrary::kStreamDecode);
  content->file_name = FileNamePart(location);
  content->track = audio.TagsRead(probe, "%TRCK");
  content->song_title = audio.TagsRead(probe, "%TITL");
  content->artist = audio.TagsRead(probe, "%ARTI");
  content->album = audio.TagsRead(probe, "%ALBM");
  content->genre = audio.TagsRead(probe, "%GNRE");
  content->year = audio.TagsRead(probe, "%YEAR");
  content->comment = audio.TagsRead(probe, "%CMNT");
  if (probe) audio.StreamFree(probe);
}

}  // namespace

TagWindowContent TagWindowContentFor(const Context& context,
                                     const std::string& location) {
  TagWindowContent content;
  FillCaptions(context, &content);
  FillTags(context.platform.audio, location, &content);
  IniDocument settings = context.settings.Snapshot();
  content.left = static_cast<int>(settings.GetInt("Tags.Position", "Left", 0));
  content.top = static_cast<int>(settings.GetInt("Tags.Position", "Top", 0));
  return content;
}

void ShowTagWindow(Context& context, const PlayerState& state) {
  TagWindowContent content =
      TagWindowContentFor(context, state.ui.popup_location);
  int left = content.left;
  int top = content.top;
  context.platform.tag_window.ShowModal(content, &left, &top);
  context.settings.WriteInt("Tags.Position", "Left", left);
  context.settings.WriteInt("Tags.Position", "Top", top);
}

}  // namespace kivo
