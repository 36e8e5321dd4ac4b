// Time of one Generate without its window: the settings file written
// through its temporary file, put in place, and read back.
//   generate_bench <runs> <card folder>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "settings/config_file.h"
#include "settings/save_directory.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: generate_bench <runs> <card folder>\n");
    return 2;
  }
  int runs = std::atoi(argv[1]);
  std::snprintf(SaveDirectory, kPathSize, "%s", argv[2]);
  std::FILE* quiet = std::freopen("NUL", "w", stdout);  // the traces of every run
  (void)quiet;
  auto start = std::chrono::steady_clock::now();
  int failures = 0;
  for (int run = 0; run < runs; ++run) failures += RunGenerate().succeeded ? 0 : 1;
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "generate %d runs %.3f ms per write and read-back (%d failed)\n", runs, ms / runs,
               failures);
  return failures == 0 ? 0 : 1;
}
