// The cards in the readers, followed on threads of their own: the drives are
// listed again every interval and whenever the system says a device came or
// went (Poke); a card that is new, or another card in the same reader, is
// looked at against the golden card (card_survey.h) by a second thread, so
// that a card read at length (to tell whether it equals the golden card)
// never holds back the listing. The window is told by changed() that a new
// snapshot can be read, and reads it on its own thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cardbatch/card_survey.h"

// A drive with a card in it, as the system lists it. A card is who it is by
// its reader and its medium's serial, label and capacity while it stays in
// it: another card put into the same reader is another card.
struct DriveCard {
  std::string drive;  // "F:"
  VolumeInfo volume;
  bool SameCard(const DriveCard& o) const {
    return drive == o.drive && volume.label == o.volume.label && volume.serial == o.volume.serial &&
           volume.capacity == o.volume.capacity;
  }
};

struct WatchedCard {
  DriveCard card;
  uint64_t insertion =
      0;  // which card put in this is, counted from 1: a card pulled and put in again is another
  bool surveyed = false;
  CardSurvey survey;
};

class DriveWatcher {
 public:
  using Scan = std::function<std::vector<DriveCard>()>;
  // anyFolder: the listed drives may be folders (the tests' cards).
  DriveWatcher(Scan scan, std::function<void()> changed, std::chrono::milliseconds interval,
               bool anyFolder = false);
  ~DriveWatcher();
  DriveWatcher(const DriveWatcher&) = delete;
  DriveWatcher& operator=(const DriveWatcher&) = delete;

  // The card every card is looked at against (none: cards are listed only).
  void SetGolden(std::shared_ptr<const GoldenCard> golden);
  // The record each card is looked up in (read again whenever it changed).
  void SetRecord(std::filesystem::path file);
  void Poke();
  // A card being written is not looked at meanwhile; a run that wrote
  // nothing on it leaves it as it was.
  void SetBusy(const std::string& drive);
  void SetIdle(const std::string& drive);
  // The card's run is over: a card made is known to hold the golden card's
  // files and is not read again to say so (that would hold back the cards
  // that follow); a card that failed, or was not written, is looked at again.
  // label: the card's label now, which the run may have changed.
  void Written(const std::string& drive, bool made, const std::string& label);
  std::vector<WatchedCard> Cards();

 private:
  void List();
  void Survey();
  bool Take(const std::vector<DriveCard>& listed);
  WatchedCard* NextToSurvey();
  void Changed(std::unique_lock<std::mutex>& lock);
  std::shared_ptr<const RecordBook> Record();

  Scan scan_;
  std::function<void()> changed_;
  std::chrono::milliseconds interval_;
  bool anyFolder_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool poked_ = true, quit_ = false;
  std::shared_ptr<const GoldenCard> golden_;
  std::set<std::string> busy_, stale_;
  std::vector<WatchedCard> cards_;
  std::filesystem::path recordFile_;
  // The record as last read, and what its file was then (the survey's thread's own).
  std::shared_ptr<const RecordBook> record_;
  EntryInfo recordSeen_;
  uint64_t insertions_ = 0;
  std::thread lister_, surveyor_;
};
