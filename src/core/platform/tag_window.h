#pragma once

#include <string>

namespace kivo {

// Everything the tag window shows, read-only.
struct TagWindowContent {
  std::string title;         // window caption
  std::string file_caption;  // GroupBox1
  std::string tags_caption;  // GroupBox2
  std::string track_label, title_label, artist_label, album_label, year_label,
      genre_label, comment_label;
  std::string file_name, track, song_title, artist, album, year, genre,
      comment;  // comment may hold line breaks
  int left = 0;
  int top = 0;
};

// Shows the tag window modally; Esc in any field closes it.
class TagWindow {
 public:
  virtual ~TagWindow() = default;
  // Returns when closed, with the window's final position in left and top.
  virtual void ShowModal(const TagWindowContent& content, int* left,
                         int* top) = 0;
};

}  // namespace kivo
