// The many-card window's portable part without the window: a card looked at
// against the golden card, the readers followed (folders as cards, listed by
// a function of the test's) and a run told by its events.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "cardbatch/batch_run.h"
#include "cardbatch/batch_sheet.h"
#include "cardbatch/card_survey.h"
#include "cardbatch/drive_watch.h"
#include "cardbatch/golden_choice.h"
#include "cardcheck/fingerprint.h"
#include "settings/broadcast_config.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/settings_record.h"
#include "tests/support/wav_file.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Waits, for at most a minute, until done() holds after one of notify()'s
// calls; false when it never did.
class Signal {
 public:
  void notify() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++count_;
    changed_.notify_all();
  }
  bool WaitFor(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + 60s;
    for (;;) {
      std::unique_lock<std::mutex> lock(mutex_);
      // Counted before done() looks, so that no change after it is missed.
      const int seen = count_;
      lock.unlock();
      if (done()) return true;
      lock.lock();
      if (!changed_.wait_until(lock, deadline, [&] { return count_ != seen; })) return false;
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
};

class BatchCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PutFile(golden() / "CFG_BROADCAST.bin", SettingsBytes(Modes(1, 0, 1, 0, 0)));
    PutFile(golden() / "audio/SenseRand/a.wav", PcmWavOfSize(3000, 1));
    PutFile(golden() / "audio/SenseRand/b.wav", PcmWavOfSize(5000, 2));
    choice_ = ChooseGolden(golden().string());
    ASSERT_TRUE(choice_.card) << choice_.state;
  }
  fs::path golden() const { return scratch_.path() / "golden"; }
  fs::path Card(const std::string& name) const {
    fs::create_directories(scratch_.path() / name);
    return scratch_.path() / name;
  }
  // A card holding what the golden card holds.
  fs::path Copy(const std::string& name) const {
    fs::path card = Card(name);
    fs::copy(golden(), card, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    return card;
  }
  CardSurvey Survey(const fs::path& card, bool anyFolder = true) const {
    return SurveyCard(choice_.card, card.string(), anyFolder);
  }

  ScratchDir scratch_;
  GoldenChoice choice_;
};

TEST_F(BatchCoreTest, ACardIsSaidAsItStands) {
  EXPECT_EQ(Survey(Card("empty")).text, "空卡");
  CardSurvey same = Survey(Copy("same"));
  EXPECT_TRUE(same.identical);
  EXPECT_EQ(same.text, "与样板相同");
  // The golden card's names and sizes, one byte other: told by the fingerprint.
  fs::path almost = Copy("almost");
  std::vector<unsigned char> bytes = PcmWavOfSize(5000, 2);
  bytes[4000] ^= 1;
  PutFile(almost / "audio/SenseRand/b.wav", bytes);
  CardSurvey differs = Survey(almost);
  EXPECT_FALSE(differs.identical);
  EXPECT_EQ(differs.text, "与样板不同，将改写");
  fs::path other = Copy("other");
  PutFile(other / "audio/SenseRand/old.wav", PcmWavOfSize(1000, 3));
  PutFile(other / "audio/Alarm/A/x.wav", PcmWavOfSize(1000, 4));
  CardSurvey sounds = Survey(other);
  EXPECT_EQ(sounds.text, "其他声音 (将删除 2 个文件)");
  EXPECT_EQ(sounds.removeFiles, 2);
  fs::path photos = Card("photos");
  PutFile(photos / "DCIM/0001.jpg", {1});
  PutFile(photos / "notes.txt", {2});
  EXPECT_EQ(Survey(photos).text, "将写入 2 个文件，audio 以外另有 2 项 (保留，不改动)");
  // Unless folders are taken for cards, a folder is none.
  CardSurvey refused = Survey(Card("folder"), false);
  EXPECT_EQ(refused.refusal.rfind("目标不是存储卡 (不是一个磁盘的根目录", 0), 0u) << refused.refusal;
  EXPECT_EQ(refused.text, refused.refusal);
}

// A card the record knows: its last run, and whether it is as that run made it.
TEST(CardHistory, TheLastRunIsSaidWithWhetherTheCardIsAsItMadeIt) {
  RecordEntry last;
  last.row.time = "2026-12-10T08:31:05+08:00";
  last.row.goldenFingerprint = "03066C29AABBCCDD";
  last.row.cardFingerprint = "1111222233334444";
  last.row.ready = true;
  EXPECT_EQ(HistoryText(last, "1111222233334444"), "上次: 12-10 08:31 写入，样板 0306-6C29，与当时相同");
  EXPECT_EQ(HistoryText(last, "1111222233334445"), "上次: 12-10 08:31 写入，样板 0306-6C29，已改变");
  // A card whose fingerprint cannot be worked out now is not called the same.
  EXPECT_EQ(HistoryText(last, ""), "上次: 12-10 08:31 写入，样板 0306-6C29，已改变");
  last.row.ready = false;
  last.row.cardFingerprint.clear();
  last.row.reason = "存储卡已满";
  EXPECT_EQ(HistoryText(last, ""), "上次: 12-10 08:31 写入失败 (存储卡已满)");
}

// The sheet of the cards made: every row, the counts against 共需, each
// text from a card or the record escaped, one file that loads nothing.
TEST(BatchSheet, ListsEveryCardMadeWithItsTextsEscaped) {
  SheetInput sheet;
  sheet.golden = "E:\\<golden>";
  sheet.goldenFingerprint = "3D056964A1B2C3D4";
  sheet.wanted = 5;
  sheet.opened = 1796000000;
  RecordRow made;
  made.label = "北坡01";
  made.serial = "3A1C-07E2";
  made.ready = true;
  made.cardFingerprint = "1111222233334444";
  RecordRow failed = made;
  failed.label = "<b>x</b>";
  failed.ready = false;
  failed.reason = "存储卡已满 & 已移除";
  failed.cardFingerprint.clear();
  sheet.cards = {made, failed};
  const std::string html = SheetHtml(sheet);
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  for (const char* part : {"北坡01", "3A1C-07E2", "1111222233334444", "&lt;b&gt;x&lt;/b&gt;",
                           "存储卡已满 &amp; 已移除", "E:\\&lt;golden&gt;", "3D05-6964",
                           "本次: 可以使用 1 张，失败 1 张，还需 4 张", "<th>卷序列号</th>", "thead"})
    EXPECT_NE(html.find(part), std::string::npos) << part;
  for (const char* absent : {"<b>", "<script", "http:", "https:", "src="})
    EXPECT_EQ(html.find(absent), std::string::npos) << absent;
  EXPECT_EQ(SheetFileName(sheet.opened).rfind("制卡单-20", 0), 0u);
  EXPECT_EQ(SheetFileName(sheet.opened).size(), std::string("制卡单-2026-12-10-0831.html").size());
}

// The readers as the test sets them: each listing is what the test last put in.
class Readers {
 public:
  void Set(std::vector<DriveCard> cards) {
    std::lock_guard<std::mutex> lock(mutex_);
    cards_ = std::move(cards);
  }
  std::vector<DriveCard> List() {
    std::lock_guard<std::mutex> lock(mutex_);
    return cards_;
  }

 private:
  std::mutex mutex_;
  std::vector<DriveCard> cards_;
};

DriveCard InReader(const fs::path& folder, uint32_t serial, const std::string& label = "CARD",
                   uint64_t capacity = 1000) {
  DriveCard card;
  card.drive = folder.string();
  card.volume.serial = serial;
  card.volume.label = label;
  card.volume.capacity = capacity;
  return card;
}

const WatchedCard* Find(const std::vector<WatchedCard>& cards, const fs::path& folder) {
  for (const WatchedCard& card : cards) {
    if (card.card.drive == folder.string()) return &card;
  }
  return nullptr;
}

// What the watcher says of the card in folder; empty while it is still to be looked at.
std::string StateOf(DriveWatcher& watcher, const fs::path& folder) {
  std::vector<WatchedCard> cards = watcher.Cards();
  const WatchedCard* card = Find(cards, folder);
  return card && card->surveyed ? card->survey.text : "";
}

// Another card in the same reader (the same letter, another serial, label
// or capacity) is another card: looked at afresh, and never shown with what
// was found on the card before it.
TEST_F(BatchCoreTest, AnotherCardInTheSameReaderIsLookedAtAfresh) {
  fs::path reader = Card("reader");
  Readers readers;
  DriveCard listed = InReader(reader, 1);
  readers.Set({listed});
  Signal changed;
  DriveWatcher watcher([&] { return readers.List(); }, [&] { changed.notify(); }, 20ms, true);
  watcher.SetGolden(choice_.card);
  ASSERT_TRUE(changed.WaitFor([&] { return StateOf(watcher, reader) == "空卡"; }));
  uint64_t before = Find(watcher.Cards(), reader)->insertion;
  const std::function<void(DriveCard&)> others[] = {[](DriveCard& c) { c.volume.serial += 1; },
                                                    [](DriveCard& c) { c.volume.label += "X"; },
                                                    [](DriveCard& c) { c.volume.capacity += 1; }};
  bool sounds = false;
  for (const auto& other : others) {
    // What the next card holds, in the same reader.
    sounds = !sounds;
    if (sounds) PutFile(reader / "audio/SenseRand/old.wav", PcmWavOfSize(1000, 3));
    if (!sounds) fs::remove_all(reader / "audio");
    const std::string expected = sounds ? "其他声音 (将删除 1 个文件)" : "空卡";
    other(listed);
    readers.Set({listed});
    watcher.Poke();
    ASSERT_TRUE(changed.WaitFor([&] {
      std::vector<WatchedCard> cards = watcher.Cards();
      const WatchedCard* card = Find(cards, reader);
      if (!card || !card->card.SameCard(listed) || !card->surveyed) return false;
      EXPECT_EQ(card->survey.text, expected) << "the card before it was shown for it";
      return true;
    })) << expected;
    uint64_t now = Find(watcher.Cards(), reader)->insertion;
    EXPECT_NE(now, before);
    before = now;
  }
}

// A second golden card: every card is looked at again. A card being written
// is not looked at; once written it is known to be the golden card's without
// being read; a card that failed is looked at again.
TEST_F(BatchCoreTest, TheWatcherLooksAgainOnlyWhereSomethingMayHaveChanged) {
  fs::path first = Copy("first"), second = Card("second"), third = Card("third");
  Readers readers;
  readers.Set({InReader(first, 1), InReader(second, 2), InReader(third, 3)});
  Signal changed;
  DriveWatcher watcher([&] { return readers.List(); }, [&] { changed.notify(); }, 20ms, true);
  watcher.SetGolden(choice_.card);
  ASSERT_TRUE(changed.WaitFor(
      [&] { return StateOf(watcher, first) == "与样板相同" && StateOf(watcher, third) == "空卡"; }));

  fs::path otherGolden = Copy("other golden");
  PutFile(otherGolden / "audio/SenseRand/c.wav", PcmWavOfSize(2000, 9));
  GoldenChoice other = ChooseGolden(otherGolden.string());
  ASSERT_TRUE(other.card) << other.state;
  watcher.SetGolden(other.card);
  ASSERT_TRUE(changed.WaitFor([&] { return StateOf(watcher, first) == "将写入 1 个文件"; }));

  // The first card listed is the first looked at, but not while it is written.
  watcher.SetBusy(first);
  watcher.SetGolden(choice_.card);
  ASSERT_TRUE(changed.WaitFor(
      [&] { return StateOf(watcher, second) == "空卡" && StateOf(watcher, third) == "空卡"; }));
  EXPECT_EQ(StateOf(watcher, first), "");
  watcher.Written(first, false, "CARD");
  ASSERT_TRUE(changed.WaitFor([&] { return StateOf(watcher, first) == "与样板相同"; }));

  // Made: known at once, and not read for it (the card would say otherwise).
  watcher.SetBusy(second);
  PutFile(second / "DCIM/0001.jpg", {1});
  watcher.Written(second, true, "CARD");
  EXPECT_EQ(StateOf(watcher, second), "与样板相同，audio 以外另有 1 项 (保留，不改动)");
  watcher.SetBusy(third);
  PutFile(third / "audio/SenseRand/old.wav", PcmWavOfSize(1000, 3));
  watcher.Written(third, false, "CARD");
  ASSERT_TRUE(changed.WaitFor([&] { return StateOf(watcher, third) == "其他声音 (将删除 1 个文件)"; }));
  EXPECT_EQ(StateOf(watcher, second), "与样板相同，audio 以外另有 1 项 (保留，不改动)");
}

// A run's events as the window gets them, in order.
struct Told {
  std::mutex mutex;
  std::condition_variable over;
  std::vector<std::string> events;
  bool finished = false;
  std::function<void(BatchRun&)> onPlanned = [](BatchRun& run) { run.Go(); };

  // Progress comes a few times a second: only its first time is kept.
  void Add(const std::string& event) {
    std::lock_guard<std::mutex> lock(mutex);
    if (event != "progress" || std::find(events.begin(), events.end(), event) == events.end())
      events.push_back(event);
  }
  BatchEvents Events() {
    return {[this](BatchRun&) { Add("golden read again"); },
            [this](BatchRun& run) {
              Add("planned");
              onPlanned(run);
            },
            [this](BatchRun&) { Add("progress"); },
            [this](BatchRun& run, std::size_t card) {
              Add("done " + std::to_string(card) +
                  (run.Result(card).ready ? " ready" : " " + run.Result(card).reason));
            },
            [this](BatchRun&) {
              Add("finished");
              std::lock_guard<std::mutex> lock(mutex);
              finished = true;
              over.notify_all();
            }};
  }
  bool Wait() {
    std::unique_lock<std::mutex> lock(mutex);
    return over.wait_for(lock, 120s, [this] { return finished; });
  }
};

TEST_F(BatchCoreTest, ARunSaysWhatItDoesInOrderAndRecordsWhatItMeasured) {
  fs::path fresh = Card("fresh"), used = Copy("used");
  PutFile(used / "audio/SenseRand/old.wav", PcmWavOfSize(1000, 3));
  Told told;
  bool removes = false;
  told.onPlanned = [&](BatchRun& run) {
    removes = run.Removes();
    run.Go();
  };
  BatchRun run(choice_.card, {fresh.string(), used.string()}, told.Events(), true);
  run.Plan();
  ASSERT_TRUE(told.Wait());
  EXPECT_TRUE(removes);
  ASSERT_EQ(told.events.size(), 5u) << ::testing::PrintToString(told.events);
  EXPECT_EQ(told.events[0], "planned");
  EXPECT_EQ(told.events[1], "progress");
  std::vector<std::string> done(told.events.begin() + 2, told.events.end() - 1);
  std::sort(done.begin(), done.end());
  EXPECT_EQ(done, (std::vector<std::string>{"done 0 ready", "done 1 ready"}));
  EXPECT_EQ(told.events.back(), "finished");
  for (std::size_t i = 0; i < 2; ++i) {
    const fs::path card = i == 0 ? fresh : used;
    std::string code, problem;
    ASSERT_TRUE(CardFingerprint(card, code, problem)) << problem;
    const RecordRow row = MakeRecordRow(run.golden(), run.targets()[i], run.Result(i));
    EXPECT_EQ(row.cardFingerprint, code);
    EXPECT_EQ(row.goldenFingerprint, choice_.card->fingerprint);
    EXPECT_EQ(row.golden, golden().string());
  }
  EXPECT_FALSE(fs::exists(used / "audio/SenseRand/old.wav"));
}

// The plan made when the card was looked at is the run's only while the card
// is as it was then: a sound put on it since is found and goes.
TEST_F(BatchCoreTest, ACardChangedSinceItWasLookedAtIsPlannedAgain) {
  fs::path card = Card("card");
  CardSurvey survey = Survey(card);
  ASSERT_TRUE(survey.planned);
  PutFile(card / "audio/SenseRand/new.wav", PcmWavOfSize(50000, 3));
  EXPECT_FALSE(survey.planned->StillFor(choice_.card));
  Told told;
  BatchRun run(choice_.card, {RunCard(card.string(), survey.planned)}, told.Events(), true);
  run.Plan();
  ASSERT_TRUE(told.Wait());
  EXPECT_TRUE(run.Result(0).ready) << run.Result(0).reason;
  EXPECT_EQ(run.Result(0).filesRemoved, 1);
  EXPECT_FALSE(fs::exists(card / "audio/SenseRand/new.wav"));
}

TEST_F(BatchCoreTest, StopEndsEveryCardBeforeItsSettings) {
  fs::path fresh = Card("fresh"), used = Card("used");
  PutFile(used / "CFG_BROADCAST.bin", std::vector<unsigned char>(86, 7));
  PutFile(used / "audio/SenseRand/a.wav", PcmWavOfSize(3000, 5));
  Told told;
  told.onPlanned = [](BatchRun& run) {
    run.Stop();
    run.Go();
  };
  BatchRun run(choice_.card, {fresh.string(), used.string()}, told.Events(), true);
  run.Plan();
  ASSERT_TRUE(told.Wait());
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_FALSE(run.Result(i).ready);
    EXPECT_EQ(run.Result(i).reason.rfind("已停止", 0), 0u) << run.Result(i).reason;
    EXPECT_EQ(MakeRecordRow(run.golden(), run.targets()[i], run.Result(i)).cardFingerprint, "");
  }
  EXPECT_FALSE(fs::exists(fresh / "CFG_BROADCAST.bin"));
  EXPECT_FALSE(fs::exists(used / "CFG_BROADCAST.bin"));
}

// Before a run the golden card is looked at: written again with the same
// bytes it is still the one shown; otherwise it is read again, and the run
// writes nothing.
TEST_F(BatchCoreTest, TheGoldenCardIsLookedAtBeforeEachRun) {
  fs::path card = Card("card");
  PutFile(golden() / "audio/SenseRand/a.wav", PcmWavOfSize(3000, 1));
  fs::last_write_time(golden() / "audio/SenseRand/a.wav",
                      fs::last_write_time(golden() / "audio/SenseRand/a.wav") + 2s);
  Told same;
  BatchRun again(choice_.card, {card.string()}, same.Events(), true);
  again.Plan();
  ASSERT_TRUE(same.Wait());
  EXPECT_EQ(same.events, (std::vector<std::string>{"golden read again", "planned", "progress", "done 0 ready",
                                                   "finished"}));
  EXPECT_FALSE(again.GoldenChanged());

  fs::remove_all(card);
  fs::create_directories(card);
  BroadcastConfig other = Modes(1, 0, 1, 0, 0);
  other.Dly = 20;
  PutFile(golden() / "CFG_BROADCAST.bin", SettingsBytes(other));
  Told changed;
  BatchRun run(choice_.card, {card.string()}, changed.Events(), true);
  run.Plan();
  ASSERT_TRUE(changed.Wait());
  EXPECT_EQ(changed.events, (std::vector<std::string>{"golden read again", "finished"}));
  EXPECT_TRUE(run.GoldenChanged());
  EXPECT_TRUE(run.Cancelled());
  ASSERT_TRUE(run.GoldenAgain()->card);
  EXPECT_NE(run.GoldenAgain()->card->fingerprint, choice_.card->fingerprint);
  EXPECT_TRUE(fs::is_empty(card));
}

}  // namespace
