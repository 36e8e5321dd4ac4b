#include "cardcheck/checksum.h"

// Header-only: the checksums are compiled into the programs, so the cross
// build needs no xxhash library. Only this unit sees xxhash.h.
#define XXH_INLINE_ALL
#include <xxhash.h>

// Value-initialised, as XXH3_INITSTATE would leave it, before the reset.
struct Checksum128::State {
  XXH3_state_t xxh{};
};

Checksum128::Checksum128() : state_(new State()) { XXH3_128bits_reset(&state_->xxh); }

Checksum128::~Checksum128() = default;

void Checksum128::Update(const void* data, std::size_t size) {
  XXH3_128bits_update(&state_->xxh, data, size);
}

Digest128 Checksum128::Digest() const {
  XXH128_hash_t hash = XXH3_128bits_digest(&state_->xxh);
  Digest128 digest;
  digest.low = hash.low64;
  digest.high = hash.high64;
  return digest;
}

uint64_t Hash64(const void* data, std::size_t size) { return XXH3_64bits(data, size); }
