#include "cardbatch/drive_watch.h"

#include <algorithm>

DriveWatcher::DriveWatcher(Scan scan, std::function<void()> changed, std::chrono::milliseconds interval,
                           bool anyFolder)
    : scan_(std::move(scan)), changed_(std::move(changed)), interval_(interval), anyFolder_(anyFolder) {
  lister_ = std::thread([this] { List(); });
  surveyor_ = std::thread([this] { Survey(); });
}

DriveWatcher::~DriveWatcher() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  lister_.join();
  surveyor_.join();
}

void DriveWatcher::SetGolden(std::shared_ptr<const GoldenCard> golden) {
  std::lock_guard<std::mutex> lock(mutex_);
  golden_ = std::move(golden);
  for (WatchedCard& card : cards_) {
    card.surveyed = false;
    stale_.insert(card.card.drive);
  }
  wake_.notify_all();
}

void DriveWatcher::SetRecord(std::filesystem::path file) {
  std::lock_guard<std::mutex> lock(mutex_);
  recordFile_ = std::move(file);
}

// The record read again when its file is not as it was when last read.
std::shared_ptr<const RecordBook> DriveWatcher::Record() {
  std::filesystem::path file;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    file = recordFile_;
  }
  if (file.empty()) return nullptr;
  EntryInfo now;
  IoError error;
  if (!LookAt(file, now, error)) return record_;
  if (record_ && now.kind == recordSeen_.kind && now.size == recordSeen_.size &&
      now.modified == recordSeen_.modified)
    return record_;
  auto book = std::make_shared<RecordBook>();
  std::string problem;
  if (!ReadRecord(file, *book, problem)) return record_;
  recordSeen_ = now;
  record_ = book;
  return record_;
}

void DriveWatcher::Poke() {
  std::lock_guard<std::mutex> lock(mutex_);
  poked_ = true;
  wake_.notify_all();
}

void DriveWatcher::SetBusy(const std::string& drive) {
  std::lock_guard<std::mutex> lock(mutex_);
  busy_.insert(drive);
}

void DriveWatcher::SetIdle(const std::string& drive) {
  std::lock_guard<std::mutex> lock(mutex_);
  busy_.erase(drive);
  wake_.notify_all();
}

void DriveWatcher::Written(const std::string& drive, bool made, const std::string& label) {
  // Read outside the lock: it lists the card's root.
  CardSurvey known = made ? MadeCardSurvey(drive) : CardSurvey();
  std::lock_guard<std::mutex> lock(mutex_);
  busy_.erase(drive);
  if (made) {
    stale_.erase(drive);
  } else {
    stale_.insert(drive);
  }
  for (WatchedCard& card : cards_) {
    if (card.card.drive != drive) continue;
    card.card.volume.label = label;
    card.surveyed = made;
    card.survey = known;
  }
  wake_.notify_all();
}

std::vector<WatchedCard> DriveWatcher::Cards() {
  std::lock_guard<std::mutex> lock(mutex_);
  return cards_;
}

void DriveWatcher::Changed(std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  changed_();
  lock.lock();
}

// The drives listed every interval, or at once when poked; the lock is let
// go while the system is asked.
void DriveWatcher::List() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!quit_) {
    lock.unlock();
    std::vector<DriveCard> listed = scan_();
    lock.lock();
    if (Take(listed)) {
      wake_.notify_all();
      Changed(lock);
    }
    wake_.wait_for(lock, interval_, [this] { return poked_ || quit_; });
    poked_ = false;
  }
}

// Takes a listing: a card seen before keeps what was found on it; a new one
// (or another card in the same reader) is to be looked at. True when the
// list changed.
bool DriveWatcher::Take(const std::vector<DriveCard>& listed) {
  std::vector<WatchedCard> next;
  bool changed = listed.size() != cards_.size();
  for (const DriveCard& drive : listed) {
    // A card being written may be given its label meanwhile: still the same card.
    const bool busy = busy_.count(drive.drive) != 0;
    auto known = std::find_if(cards_.begin(), cards_.end(), [&](const WatchedCard& c) {
      return c.card.SameCard(drive) ||
             (busy && c.card.drive == drive.drive && c.card.volume.serial == drive.volume.serial &&
              c.card.volume.capacity == drive.volume.capacity);
    });
    WatchedCard card;
    if (known != cards_.end()) card = *known;
    changed = changed || known == cards_.end() || card.card.volume.available != drive.volume.available ||
              card.card.volume.label != drive.volume.label;
    if (known == cards_.end()) {
      stale_.insert(drive.drive);
      card.insertion = ++insertions_;
    }
    card.card = drive;
    next.push_back(card);
  }
  cards_ = next;
  return changed;
}

WatchedCard* DriveWatcher::NextToSurvey() {
  if (!golden_) return nullptr;
  for (WatchedCard& card : cards_) {
    if (!card.surveyed && busy_.count(card.card.drive) == 0) return &card;
  }
  return nullptr;
}

// Each card that needs it looked at against the golden card, one at a time;
// the lock is let go meanwhile. What was found is dropped when the golden
// card changed, or the card was to be looked at again, in the meantime.
void DriveWatcher::Survey() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!quit_) {
    WatchedCard* next = NextToSurvey();
    if (next == nullptr) {
      wake_.wait(lock);
      continue;
    }
    const DriveCard card = next->card;
    std::shared_ptr<const GoldenCard> golden = golden_;
    stale_.erase(card.drive);
    lock.unlock();
    std::shared_ptr<const RecordBook> record = Record();
    CardSurvey survey = SurveyCard(golden, card.drive, anyFolder_, record.get());
    lock.lock();
    bool current = golden == golden_ && stale_.count(card.drive) == 0;
    for (WatchedCard& now : cards_) {
      if (!current || !now.card.SameCard(card)) continue;
      now.surveyed = true;
      now.survey = survey;
    }
    if (current) Changed(lock);
  }
}
