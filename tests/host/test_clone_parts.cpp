// cardclone's parts on their own: the piece window between the golden reader
// and the card writers, the refusals of the targets, and the FAT spelling
// rule. The whole program is in test_cardclone.cpp.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

#include "cardclone/piece_window.h"

namespace {

using namespace std::chrono_literals;

// Waits up to five seconds for what another thread is to bring about.
bool Eventually(const std::function<bool()>& condition) {
  for (auto end = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < end;) {
    if (condition()) return true;
    std::this_thread::sleep_for(1ms);
  }
  return condition();
}

std::vector<int> Numbers(int count) {
  std::vector<int> numbers(count);
  std::iota(numbers.begin(), numbers.end(), 0);
  return numbers;
}

TEST(PieceWindow, TheSlowestWriterSetsThePaceAndEveryWriterTakesEveryPieceInOrder) {
  constexpr int kPieces = 10;
  constexpr int kHeld = 3;
  PieceWindow<int> window(2, kHeld);
  std::atomic<int> pushed{0};
  std::thread reader([&] {
    for (int i = 0; i < kPieces; ++i) {
      window.Push(std::make_shared<const int>(i));
      ++pushed;
    }
    window.End();
  });
  std::vector<int> fast, slow;
  std::thread fastWriter([&] {
    while (auto piece = window.Next(0)) fast.push_back(*piece);
  });

  // The slow writer has taken nothing: the reader stops at the maximum...
  EXPECT_TRUE(Eventually([&] { return pushed == kHeld; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(pushed, kHeld);
  // ...and goes on by one piece when the slow writer takes one.
  slow.push_back(*window.Next(1));
  EXPECT_TRUE(Eventually([&] { return pushed == kHeld + 1; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(pushed, kHeld + 1);

  while (auto piece = window.Next(1)) slow.push_back(*piece);
  reader.join();
  fastWriter.join();
  EXPECT_EQ(fast, Numbers(kPieces));
  EXPECT_EQ(slow, Numbers(kPieces));
}

TEST(PieceWindow, AWriterThatLeavesHoldsNoPiecesAndNobodyBack) {
  PieceWindow<int> window(2, 2);
  auto first = std::make_shared<const int>(0);
  std::weak_ptr<const int> held = first;
  ASSERT_TRUE(window.Push(std::move(first)));
  ASSERT_TRUE(window.Push(std::make_shared<const int>(1)));
  EXPECT_EQ(*window.Next(0), 0);
  EXPECT_EQ(*window.Next(0), 1);
  EXPECT_FALSE(held.expired()) << "writer 1 has yet to take it";

  window.Leave(1);
  ASSERT_TRUE(held.expired());
  // Full while writer 1 was there; now writer 0 alone sets the pace.
  ASSERT_TRUE(window.Push(std::make_shared<const int>(2)));
  ASSERT_TRUE(window.Push(std::make_shared<const int>(3)));
  EXPECT_EQ(*window.Next(0), 2);

  window.Leave(0);
  EXPECT_FALSE(window.Push(std::make_shared<const int>(4))) << "nobody is left to take it";
}

}  // namespace
