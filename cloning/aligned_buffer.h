// A bytes buffer aligned for uncached reads (see kIoAlign).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/file_io.h"

class AlignedBuffer {
 public:
  explicit AlignedBuffer(std::size_t size) : raw_(size + kIoAlign) {
    auto address = reinterpret_cast<std::uintptr_t>(raw_.data());
    data_ = raw_.data() + (kIoAlign - address % kIoAlign) % kIoAlign;
  }
  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;
  char* data() { return data_; }

 private:
  std::vector<char> raw_;
  char* data_;
};
