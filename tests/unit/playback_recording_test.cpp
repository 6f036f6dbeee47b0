#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/playback/recording.h"
#include "playback_fixture.h"

namespace kivo {
namespace {

using testing::PlaybackFixture;

struct RecordingFixture : PlaybackFixture {
  RecordingFixture() {
    AddEntry("a.mp3");
    AddStream("http://mp3/live", AudioLibrary::kCTypeStreamMp3);
    AddStream("http://ogg/live", AudioLibrary::kCTypeStreamOgg);
    AddStream("http://other/live", 0x10300);
  }
  void Record(const std::string& name) {
    h.dialogs.save_answers.push_back(std::pair{h.dir.File(name), 1});
    Click("Record1");
  }
  void Block(const std::string& data) { h.audio.Download(Current(), data); }
  std::string Saved(const std::string& name) { return h.dir.Read(name); }
  size_t SavedMessages() {
    size_t count = 0;
    for (const auto& message : h.dialogs.messages) {
      if (message.text == "Successfully Saved!") ++count;
    }
    return count;
  }
};

TEST(RecordFilterTest, EachStationKindOffersItsOwnEntry) {
  RecordingFixture f;
  for (auto [index, filter, ext] :
       {std::tuple{1, "SHOUTcast Stream|*.mp3|", "mp3"},
        {2, "Icecast Stream|*.ogg|", "ogg"},
        {3, "Radio Stream|*.|", ""}}) {
    f.Play(index);
    f.h.dialogs.save_answers.push_back(std::nullopt);
    f.Click("Record2");
    EXPECT_EQ(f.h.dialogs.filters.back(), filter);
    EXPECT_EQ(f.h.dialogs.default_extensions.back(), ext);
    EXPECT_FALSE(f.playback().RecordingActive());
  }
  EXPECT_EQ(RecordFilter("mp1"), "SHOUTcast Stream|*.mp1|");
}

TEST(RecordingTest, BlocksAfterTheDialogAreWrittenUntilStop) {
  RecordingFixture f;
  f.Play(1);
  f.Block("before");
  f.Record("rec.mp3");
  f.Record("second.mp3");  // already recording: no dialog
  EXPECT_EQ(f.h.dialogs.filters.size(), 1u);
  f.Block("one");
  f.Block("two");
  f.Click("Stop");
  f.Block("after");
  EXPECT_EQ(f.Saved("rec.mp3"), "onetwo");
  EXPECT_EQ(f.SavedMessages(), 1u);
  f.Click("Stop1");
  EXPECT_EQ(f.SavedMessages(), 1u);
}

TEST(RecordingTest, TheNextEntryEndsItSilentlyAndTheNextRecordingIsSeparate) {
  RecordingFixture f;
  f.Play(1);
  f.Record("first.mp3");
  f.Block("first");
  f.Play(2);
  EXPECT_FALSE(f.playback().RecordingActive());
  f.Block("ogg data");
  f.Record("second.ogg");
  f.Block("second");
  f.Click("Stop");
  EXPECT_EQ(f.Saved("first.mp3"), "first");
  EXPECT_EQ(f.Saved("second.ogg"), "second");
  EXPECT_EQ(f.SavedMessages(), 1u);
}

TEST(RecordingTest, TheEndOfTheDownloadEndsItAndStopThenSaysNothing) {
  RecordingFixture f;
  f.Play(1);
  f.Record("rec.mp3");
  f.Block("data");
  f.Block("");
  EXPECT_FALSE(f.playback().RecordingActive());
  f.Block("late");
  f.Click("Stop");
  EXPECT_EQ(f.Saved("rec.mp3"), "data");
  EXPECT_EQ(f.SavedMessages(), 0u);
}

TEST(RecordingTest, AnUnwritablePathEndsItWithAMessageOnTheGuiThread) {
  RecordingFixture f;
  f.Play(1);
  f.Record("no/such/folder/rec.mp3");
  f.Block("data");  // the download thread goes on
  EXPECT_FALSE(f.playback().RecordingActive());
  EXPECT_TRUE(f.h.dialogs.messages.empty());
  f.h.loop.RunPosted();
  ASSERT_EQ(f.h.dialogs.messages.size(), 1u);
  EXPECT_EQ(f.h.dialogs.messages[0].text,
            "Unable to write to " + f.h.dir.File("no/such/folder/rec.mp3"));
  f.Click("Stop");
  EXPECT_EQ(f.SavedMessages(), 0u);
}

TEST(RecordingTest, TheHotkeyRecordsOnlyWhileAStreamPlays) {
  RecordingFixture f;
  f.playback().RecordHotkey();
  f.Play(0);
  f.playback().RecordHotkey();
  EXPECT_TRUE(f.h.dialogs.filters.empty());
  EXPECT_FALSE(f.playback().RecordAllowed());
  f.Play(1);
  EXPECT_TRUE(f.playback().RecordAllowed());
  f.h.dialogs.save_answers.push_back(std::pair{f.h.dir.File("r.mp3"), 1});
  f.playback().RecordHotkey();
  EXPECT_TRUE(f.playback().RecordingActive());
  EXPECT_FALSE(f.playback().RecordAllowed());
}

TEST(RecordingTest, ABlockIsNeverWrittenAfterStopReturned) {
  RecordingFixture f;
  f.Play(1);
  f.Record("rec.mp3");
  const std::string block(512, 'x');
  std::atomic<int> sent{0};
  std::atomic<bool> finish{false};
  AudioLibrary::Handle channel = f.Current();
  std::thread download([&] {
    while (!finish) {
      f.h.audio.Download(channel, block);
      ++sent;
    }
  });
  while (sent < 50) std::this_thread::yield();
  f.playback().StopPlayback();
  size_t at_stop = f.Saved("rec.mp3").size();
  int sent_at_stop = sent;
  while (sent < sent_at_stop + 50) std::this_thread::yield();
  finish = true;
  download.join();
  std::string saved = f.Saved("rec.mp3");
  EXPECT_EQ(saved.size(), at_stop);
  EXPECT_EQ(saved.size() % block.size(), 0u);
  EXPECT_GE(saved.size(), 50 * block.size());
  EXPECT_EQ(f.SavedMessages(), 1u);
}

TEST(StreamRecorderTest, BlocksOfAnotherOpenAreIgnored) {
  testing::TempDir dir;
  StreamRecorder recorder([](const std::string&) {});
  recorder.Arm(dir.File("r.bin"), 7);
  recorder.OnBlock(6, "old", 3);
  recorder.OnBlock(7, "new", 3);
  recorder.Arm(dir.File("s.bin"), 8);
  recorder.OnBlock(7, "stale", 5);
  recorder.OnBlock(8, nullptr, 0);
  EXPECT_EQ(dir.Read("r.bin"), "new");
  EXPECT_EQ(dir.Read("s.bin"), "");
  EXPECT_FALSE(recorder.Active());
}

}  // namespace
}  // namespace kivo
