// The pieces in flight between one reader and several writers, in order.
// Every writer takes every piece, each at its own pace. A piece is let go
// once every writer still at work has taken it, and the reader waits while
// the window holds its maximum, so memory stays bounded whatever is read and
// the slowest writer sets the pace. A writer that gives up leaves, and then
// holds nobody back.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// The window's bookkeeping, whatever the pieces are.
class PieceWindowBase {
 public:
  // Writers are numbered 0 to writers - 1; at most capacity pieces are held.
  PieceWindowBase(std::size_t writers, std::size_t capacity);
  PieceWindowBase(const PieceWindowBase&) = delete;
  PieceWindowBase& operator=(const PieceWindowBase&) = delete;

  // The reader waits until every writer still at work has taken every piece
  // pushed and waits for the next one (or there is none left to wait for).
  void WaitUntilTaken();
  // The reader has pushed its last piece.
  void End();
  // The writer takes no more pieces: it must not call Next again.
  void Leave(std::size_t writer);

 protected:
  bool PushPiece(std::shared_ptr<const void> piece);
  std::shared_ptr<const void> NextPiece(std::size_t writer);

 private:
  uint64_t Slowest() const;
  void Trim();
  bool AnyActive() const;
  bool AllTaken() const;

  const std::size_t capacity_;
  std::mutex mutex_;
  // Each side is woken only when it waits and the other made a change it
  // waits for: with many small files every piece is a file, and waking all
  // for each would cost more than the copy.
  std::condition_variable room_;     // the reader waits for a free place
  std::condition_variable arrived_;  // writers wait for the next piece
  bool readerWaits_ = false;
  bool readerWaitsTaken_ = false;  // in WaitUntilTaken
  std::size_t writersWaiting_ = 0;
  std::deque<std::shared_ptr<const void>> pieces_;
  uint64_t first_ = 0;  // sequence number of pieces_.front()
  bool ended_ = false;
  std::vector<uint64_t> next_;  // each writer's next sequence number
  std::vector<bool> active_;
};

template <typename Piece>
class PieceWindow : public PieceWindowBase {
 public:
  using PieceWindowBase::PieceWindowBase;

  // Waits while the window is full. False when no writer is left to take it.
  bool Push(std::shared_ptr<const Piece> piece) { return PushPiece(std::move(piece)); }
  // The writer's next piece, waiting for it; nullptr after the last.
  std::shared_ptr<const Piece> Next(std::size_t writer) {
    return std::static_pointer_cast<const Piece>(NextPiece(writer));
  }
};
