#include "cloning/piece_window.h"

PieceWindowBase::PieceWindowBase(std::size_t writers, std::size_t capacity)
    : capacity_(capacity), next_(writers, 0), active_(writers, true) {}

uint64_t PieceWindowBase::Slowest() const {
  uint64_t slowest = first_ + pieces_.size();
  for (std::size_t i = 0; i < next_.size(); ++i) {
    if (active_[i] && next_[i] < slowest) slowest = next_[i];
  }
  return slowest;
}

void PieceWindowBase::Trim() {
  uint64_t slowest = Slowest();
  while (!pieces_.empty() && first_ < slowest) {
    pieces_.pop_front();
    ++first_;
  }
}

bool PieceWindowBase::AnyActive() const {
  for (bool a : active_) {
    if (a) return true;
  }
  return false;
}

bool PieceWindowBase::AllTaken() const {
  std::size_t active = 0;
  for (bool a : active_) active += a ? 1 : 0;
  return pieces_.empty() && writersWaiting_ == active;
}

void PieceWindowBase::WaitUntilTaken() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!AllTaken()) {
    readerWaitsTaken_ = true;
    room_.wait(lock);
    readerWaitsTaken_ = false;
  }
}

bool PieceWindowBase::PushPiece(std::shared_ptr<const void> piece) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (AnyActive() && pieces_.size() >= capacity_) {
    readerWaits_ = true;
    room_.wait(lock);
    readerWaits_ = false;
  }
  if (!AnyActive()) return false;
  pieces_.push_back(std::move(piece));
  if (writersWaiting_ > 0) arrived_.notify_all();
  return true;
}

void PieceWindowBase::End() {
  std::lock_guard<std::mutex> lock(mutex_);
  ended_ = true;
  arrived_.notify_all();
}

std::shared_ptr<const void> PieceWindowBase::NextPiece(std::size_t writer) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (next_[writer] >= first_ + pieces_.size() && !ended_) {
    ++writersWaiting_;
    if (readerWaitsTaken_) room_.notify_one();
    arrived_.wait(lock);
    --writersWaiting_;
  }
  if (next_[writer] >= first_ + pieces_.size()) return nullptr;
  std::shared_ptr<const void> piece = pieces_[static_cast<std::size_t>(next_[writer] - first_)];
  ++next_[writer];
  Trim();
  // The reader waits for room: woken once half the window is free, it then
  // fills it in one go.
  if (readerWaits_ && pieces_.size() <= capacity_ / 2) room_.notify_one();
  return piece;
}

void PieceWindowBase::Leave(std::size_t writer) {
  std::lock_guard<std::mutex> lock(mutex_);
  active_[writer] = false;
  Trim();
  room_.notify_one();
}
