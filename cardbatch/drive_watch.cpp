#include "cardbatch/drive_watch.h"

#include <algorithm>

DriveWatcher::DriveWatcher(Scan scan, std::function<void()> changed, std::chrono::milliseconds interval)
    : scan_(std::move(scan)), changed_(std::move(changed)), interval_(interval) {
  thread_ = std::thread([this] { Work(); });
}

DriveWatcher::~DriveWatcher() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void DriveWatcher::SetGolden(std::shared_ptr<const GoldenCard> golden) {
  std::lock_guard<std::mutex> lock(mutex_);
  golden_ = std::move(golden);
  for (WatchedCard& card : cards_) stale_.insert(card.card.drive);
  poked_ = true;
  wake_.notify_all();
}

void DriveWatcher::Poke() {
  std::lock_guard<std::mutex> lock(mutex_);
  poked_ = true;
  wake_.notify_all();
}

void DriveWatcher::Resurvey(const std::string& drive) {
  std::lock_guard<std::mutex> lock(mutex_);
  stale_.insert(drive);
  poked_ = true;
  wake_.notify_all();
}

void DriveWatcher::SetBusy(const std::string& drive, bool busy) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (busy) busy_.insert(drive);
  if (!busy) busy_.erase(drive);
}

std::vector<WatchedCard> DriveWatcher::Cards() {
  std::lock_guard<std::mutex> lock(mutex_);
  return cards_;
}

void DriveWatcher::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!quit_) {
    wake_.wait_for(lock, interval_, [this] { return poked_ || quit_; });
    if (quit_) break;
    poked_ = false;
    if (Round(lock)) {
      lock.unlock();
      changed_();
      lock.lock();
    }
  }
}

// One listing of the drives, and a look at each card that needs one; the
// lock is let go while the system is asked. True when anything changed.
bool DriveWatcher::Round(std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  std::vector<DriveCard> listed = scan_();
  lock.lock();
  std::vector<WatchedCard> next;
  bool changed = listed.size() != cards_.size();
  for (const DriveCard& drive : listed) {
    auto known = std::find_if(cards_.begin(), cards_.end(),
                              [&](const WatchedCard& c) { return c.card.SameCard(drive); });
    WatchedCard card;
    if (known != cards_.end()) card = *known;
    changed = changed || known == cards_.end() || card.card.available != drive.available;
    card.card = drive;
    if (known == cards_.end() || stale_.count(drive.drive) != 0) card.surveyed = false;
    next.push_back(card);
  }
  cards_ = next;
  for (WatchedCard& card : next) {
    if (card.surveyed || !golden_ || busy_.count(card.card.drive) != 0) continue;
    std::shared_ptr<const GoldenCard> golden = golden_;
    stale_.erase(card.card.drive);
    lock.unlock();
    Target target = DriveTarget(card.card.drive);
    CardSurvey survey = SurveyCard(*golden, target);
    lock.lock();
    if (golden != golden_ || stale_.count(card.card.drive) != 0) continue;  // looked at again next round
    for (WatchedCard& now : cards_) {
      if (!now.card.SameCard(card.card)) continue;
      now.surveyed = true;
      now.survey = survey;
      changed = true;
    }
  }
  return changed;
}
