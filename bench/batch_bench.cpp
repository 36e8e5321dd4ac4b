// The many-card window's way of making cards, without the window: the golden
// card chosen (checked, read, its fingerprint), every target planned and
// written by one run, as the window does after 开始制卡 and a yes.
//   batch_bench GOLDEN TARGET...
// Prints "window-code SECONDS READY/CARDS"; exit code 1 when a card failed.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "cardbatch/batch_run.h"
#include "cardbatch/golden_choice.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: batch_bench GOLDEN TARGET...\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  GoldenChoice choice = ChooseGolden(argv[1]);
  if (!choice.card) {
    std::fprintf(stderr, "%s\n", choice.state.c_str());
    return 2;
  }
  std::mutex mutex;
  std::condition_variable over;
  bool finished = false;
  int ready = 0;
  BatchEvents events{[](BatchRun&) {}, [](BatchRun& run) { run.Go(); }, [](BatchRun&) {},
                     [&](BatchRun& run, std::size_t card) {
                       if (run.Result(card).ready) ++ready;
                       if (!run.Result(card).ready)
                         std::fprintf(stderr, "%s\n", run.Result(card).reason.c_str());
                     },
                     [&](BatchRun&) {
                       std::lock_guard<std::mutex> lock(mutex);
                       finished = true;
                       over.notify_all();
                     }};
  std::vector<RunCard> targets(argv + 2, argv + argc);
  BatchRun run(choice.card, targets, events);
  run.Plan();
  {
    std::unique_lock<std::mutex> lock(mutex);
    over.wait(lock, [&] { return finished; });
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("window-code %.3f %d/%zu\n", seconds, ready, targets.size());
  return ready == static_cast<int>(targets.size()) ? 0 : 1;
}
