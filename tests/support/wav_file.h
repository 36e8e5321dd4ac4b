// WAVE files built byte by byte: chunk by chunk for the header reader's
// cases (a size field may lie), or whole well-formed PCM files for cards.
// The format codes are spelled here rather than taken from the reader, so a
// wrong code in the reader cannot agree with itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline void PutLe16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
inline void PutLe32(std::string& out, uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

// The 16 bytes of a fmt chunk.
inline std::string Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  uint16_t block = static_cast<uint16_t>(channels * ((bits + 7) / 8));
  std::string fmt;
  PutLe16(fmt, tag);
  PutLe16(fmt, channels);
  PutLe32(fmt, rate);
  PutLe32(fmt, rate * block);
  PutLe16(fmt, block);
  PutLe16(fmt, bits);
  return fmt;
}

// WAVE_FORMAT_EXTENSIBLE with the standard GUID of code, unless broken.
inline std::string FmtExtensible(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t code,
                                 bool standardGuid = true) {
  std::string fmt = Fmt(0xFFFE, channels, rate, bits);
  PutLe16(fmt, 22);    // cbSize
  PutLe16(fmt, bits);  // valid bits
  PutLe32(fmt, channels == 2 ? 3 : 4);
  PutLe16(fmt, code);
  fmt += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  if (!standardGuid) fmt[fmt.size() - 1] = 0x72;
  return fmt;
}

// A WAVE file assembled from chunks; each chunk's size field may lie.
class WavBuilder {
 public:
  WavBuilder& Chunk(const std::string& id, const std::string& body) {
    return Chunk(id, body, body.size(), true);
  }
  WavBuilder& Chunk(const std::string& id, const std::string& body, std::size_t declared, bool pad) {
    body_ += id;
    PutLe32(body_, static_cast<uint32_t>(declared));
    body_ += body;
    if (pad && body.size() % 2 == 1) body_ += '\0';
    return *this;
  }
  WavBuilder& Raw(const std::string& bytes) {
    body_ += bytes;
    return *this;
  }
  // RIFF size from what was built, or as given.
  std::string Bytes() const { return Bytes(static_cast<uint32_t>(4 + body_.size())); }
  std::string Bytes(uint32_t riffSize) const {
    std::string out = "RIFF";
    PutLe32(out, riffSize);
    return out + "WAVE" + body_;
  }
  std::vector<unsigned char> File() const {
    std::string bytes = Bytes();
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
  }

 private:
  std::string body_;
};

// Sample bytes that are not all alike, so a copy that shifts or drops
// bytes differs from its source.
inline std::string Samples(std::size_t bytes) {
  std::string s(bytes, '\0');
  for (std::size_t i = 0; i < bytes; ++i) s[i] = static_cast<char>(i * 7);
  return s;
}

// A well-formed PCM file: fmt, then data of frames.
inline std::vector<unsigned char> PcmWav(uint16_t channels, uint32_t rate, uint16_t bits,
                                         std::size_t frames) {
  return WavBuilder()
      .Chunk("fmt ", Fmt(1, channels, rate, bits))
      .Chunk("data", Samples(frames * channels * ((bits + 7) / 8)))
      .File();
}

// A well-formed PCM file of exactly total bytes (at least 44), 16 kHz mono
// 16-bit, every byte after the 44 of the header fill: for copies whose size
// matters rather than the sound.
inline std::vector<unsigned char> PcmWavOfSize(std::size_t total, unsigned char fill) {
  return WavBuilder()
      .Chunk("fmt ", Fmt(1, 1, 16000, 16))
      .Chunk("data", std::string(total - 44, static_cast<char>(fill)), total - 44, false)
      .File();
}
