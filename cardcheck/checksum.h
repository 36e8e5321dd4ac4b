// The checksums: XXH3 with 128 bits over a file's bytes, fed in pieces (the
// golden reader sums each golden file as it reads it, a card writer sums
// what it reads back from the card, and the two must agree; a card's
// fingerprint sums each file), and XXH3 with 64 bits over one buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct Digest128 {
  uint64_t low = 0;
  uint64_t high = 0;
  bool operator==(const Digest128& o) const { return low == o.low && high == o.high; }
  bool operator!=(const Digest128& o) const { return !(*this == o); }
};

class Checksum128 {
 public:
  Checksum128();
  ~Checksum128();
  Checksum128(const Checksum128&) = delete;
  Checksum128& operator=(const Checksum128&) = delete;

  void Update(const void* data, std::size_t size);
  // The sum of every byte fed so far.
  Digest128 Digest() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// XXH3 with 64 bits, seed 0, of size bytes at data.
uint64_t Hash64(const void* data, std::size_t size);
