#include "cardcheck/wav_header.h"

#include <cstdio>
#include <cstring>

#include "cardcheck/check_texts.h"
#include "common/file_io.h"
#include "common/text_format.h"

namespace {

// No real file has anywhere near this many chunks; a file that claims more is
// damaged, and walking it would only cost time.
constexpr int kMaxChunks = 1024;

constexpr std::size_t kFmtBaseSize = 16;
constexpr std::size_t kFmtExtensibleSize = 40;
constexpr uint16_t kExtensibleExtraSize = 22;  // cbSize of WAVE_FORMAT_EXTENSIBLE

// The fourteen bytes every standard sub-format GUID ends with, after its
// two-byte format code (xxxx0000-0000-0010-8000-00AA00389B71).
constexpr unsigned char kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool ReadAt(std::istream& in, uint64_t offset, unsigned char* out, std::size_t size) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  if (!in) return false;
  in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(size));
  return static_cast<std::size_t>(in.gcount()) == size;
}

// A chunk id for messages: the four characters, or hex when they are not
// printable.
std::string ChunkName(const unsigned char* id) {
  std::string name = "'";
  for (int i = 0; i < 4; ++i) {
    if (id[i] < 0x20 || id[i] > 0x7E) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "0x%02X%02X%02X%02X", id[0], id[1], id[2], id[3]);
      return hex;
    }
    name += static_cast<char>(id[i]);
  }
  return name + "'";
}

unsigned long long U(uint64_t n) { return n; }

WavInfo Fail(WavError error, std::string detail) {
  WavInfo info;
  info.error = error;
  info.detail = std::move(detail);
  return info;
}

// Decodes the fmt chunk (size bytes, of which the first min(size, 40) are in
// fmt) into info. Empty string when it is usable, else what is wrong.
std::string DecodeFmt(const unsigned char* fmt, uint32_t size, WavInfo& info) {
  if (size < kFmtBaseSize) return Format(kTextFmtTooShort, U(size));
  info.formatTag = Le16(fmt);
  info.channels = Le16(fmt + 2);
  info.sampleRate = Le32(fmt + 4);
  info.blockAlign = Le16(fmt + 12);
  info.bitsPerSample = Le16(fmt + 14);
  if (info.formatTag == kWaveExtensible) {
    if (size < kFmtExtensibleSize || Le16(fmt + 16) < kExtensibleExtraSize) {
      return Format(kTextExtensibleTooShort, U(size));
    }
    info.subFormat = Le16(fmt + 24);
    info.standardSubFormat = std::memcmp(fmt + 26, kGuidTail, sizeof kGuidTail) == 0;
  }
  if (info.channels == 0) return kTextNoChannels;
  if (info.sampleRate == 0) return kTextNoSampleRate;
  if (info.bitsPerSample == 0) return kTextNoBits;
  uint16_t coding = info.EffectiveFormat();
  if (coding == kWavePcm || coding == kWaveFloat) {
    uint32_t frame = static_cast<uint32_t>(info.channels) * ((info.bitsPerSample + 7u) / 8u);
    if (info.blockAlign != frame) {
      return Format(kTextWrongBlockAlign, U(info.blockAlign), U(info.channels), U(info.bitsPerSample),
                    U(frame));
    }
  } else if (info.blockAlign == 0) {
    return kTextNoBlockAlign;
  }
  return "";
}

// The RIFF/WAVE frame of a file of length bytes: a failure, or kNone with
// riffEnd set to where the RIFF data ends.
WavInfo CheckFrame(std::istream& in, uint64_t length, uint64_t& riffEnd) {
  if (length < 12) return Fail(WavError::kTooShort, Format(kTextWavTooShort, U(length)));
  unsigned char head[12];
  if (!ReadAt(in, 0, head, sizeof head)) return Fail(WavError::kUnreadable, kTextWavReadFailed);
  if (std::memcmp(head, "RIFF", 4) != 0) return Fail(WavError::kNotRiff, kTextWavNotRiff);
  if (std::memcmp(head + 8, "WAVE", 4) != 0) return Fail(WavError::kNotWave, kTextWavNotWave);

  uint32_t riffSize = Le32(head + 4);
  riffEnd = 8 + static_cast<uint64_t>(riffSize);
  if (riffEnd > length) {
    return Fail(WavError::kTruncated, Format(kTextWavTruncated, U(riffEnd), U(length)));
  }
  bool trailingPad = (riffSize & 1u) != 0 && riffEnd + 1 == length;
  if (riffEnd < length && !trailingPad) {
    return Fail(WavError::kTrailingBytes, Format(kTextWavTrailing, U(riffEnd), U(length)));
  }
  return WavInfo{};
}

// What the walk over the chunks has found so far.
struct ChunkWalk {
  WavInfo info;
  bool haveFmt = false;
  bool haveData = false;
};

bool Failed(ChunkWalk& walk, WavError error, std::string detail) {
  walk.info = Fail(error, std::move(detail));
  return false;
}

// The fmt chunk of size bytes whose header is at offset; only the first one
// counts.
bool TakeFmt(std::istream& in, uint64_t offset, uint32_t size, bool pastEnd, ChunkWalk& walk) {
  if (pastEnd) return Failed(walk, WavError::kChunkCutOff, kTextFmtPastEnd);
  if (walk.haveData) return Failed(walk, WavError::kFmtAfterData, kTextFmtAfterData);
  if (!walk.haveFmt) {
    unsigned char fmt[kFmtExtensibleSize] = {};
    std::size_t want = size < sizeof fmt ? size : sizeof fmt;
    if (!ReadAt(in, offset + 8, fmt, want)) return Failed(walk, WavError::kUnreadable, kTextWavReadFailed);
    std::string bad = DecodeFmt(fmt, size, walk.info);
    if (!bad.empty()) return Failed(walk, WavError::kBadFmt, bad);
  }
  walk.haveFmt = true;
  return true;
}

// The chunk whose header is at offset, in the RIFF data that ends at riffEnd
// of a file of length bytes. False with walk.info the failure; else next is
// where the following chunk starts (after a pad byte).
bool TakeChunk(std::istream& in, uint64_t offset, uint64_t riffEnd, uint64_t length, ChunkWalk& walk,
               uint64_t& next) {
  if (offset + 8 > riffEnd)
    return Failed(walk, WavError::kChunkCutOff, Format(kTextChunkHeaderCut, U(offset)));
  unsigned char header[8];
  if (!ReadAt(in, offset, header, sizeof header))
    return Failed(walk, WavError::kUnreadable, kTextWavReadFailed);
  uint32_t size = Le32(header + 4);
  uint64_t chunkEnd = offset + 8 + size;
  std::string name = ChunkName(header);

  if (std::memcmp(header, "data", 4) == 0) {
    if (chunkEnd > riffEnd) {
      return Failed(walk, WavError::kDataPastEnd, Format(kTextDataPastEnd, U(size), U(chunkEnd - riffEnd)));
    }
    if (!walk.haveData) walk.info.dataSize = size;
    walk.haveData = true;
  } else if (std::memcmp(header, "fmt ", 4) == 0) {
    if (!TakeFmt(in, offset, size, chunkEnd > riffEnd, walk)) return false;
  } else if (chunkEnd > riffEnd) {
    return Failed(walk, WavError::kChunkCutOff, Format(kTextChunkPastEnd, name.c_str()));
  }

  if ((size & 1u) != 0) {
    if (chunkEnd + 1 > length)
      return Failed(walk, WavError::kMissingPad, Format(kTextMissingPad, name.c_str()));
    ++chunkEnd;
  }
  next = chunkEnd;
  return true;
}

}  // namespace

double WavInfo::Seconds() const {
  if (blockAlign == 0 || sampleRate == 0) return 0.0;
  return static_cast<double>(dataSize / blockAlign) / sampleRate;
}

WavInfo ReadWavHeader(std::istream& in, uint64_t length) {
  uint64_t riffEnd = 0;
  WavInfo frame = CheckFrame(in, length, riffEnd);
  if (!frame.ok()) return frame;
  ChunkWalk walk;
  uint64_t offset = 12;
  for (int count = 0; offset < riffEnd; ++count) {
    if (count == kMaxChunks) return Fail(WavError::kTooManyChunks, Format(kTextTooManyChunks, kMaxChunks));
    if (!TakeChunk(in, offset, riffEnd, length, walk, offset)) return walk.info;
  }
  if (!walk.haveFmt) return Fail(WavError::kNoFmt, kTextNoFmt);
  if (!walk.haveData) return Fail(WavError::kNoData, kTextNoData);
  if (walk.info.dataSize < walk.info.blockAlign) return Fail(WavError::kEmptyData, kTextNoSamples);
  return walk.info;
}

namespace {

// A card's file as a stream the header reader seeks in, read a block at a
// time: a seek inside the block read last costs nothing, so a short file is
// read at once, and of a long one only the blocks that hold its chunk
// headers are read, not the sound between them.
class CardFileStream : public std::streambuf {
 public:
  explicit CardFileStream(InFile& file) : file_(file) {}
  bool failed() const { return failed_; }

 protected:
  int_type underflow() override {
    if (gptr() == egptr()) Fill(start_ + static_cast<uint64_t>(egptr() - eback()));
    return gptr() == egptr() ? traits_type::eof() : traits_type::to_int_type(*gptr());
  }
  pos_type seekoff(off_type offset, std::ios_base::seekdir dir, std::ios_base::openmode mode) override {
    if (dir == std::ios_base::end) return pos_type(off_type(-1));
    if (dir == std::ios_base::cur) offset += static_cast<off_type>(start_) + (gptr() - eback());
    return seekpos(pos_type(offset), mode);
  }
  pos_type seekpos(pos_type position, std::ios_base::openmode) override {
    if (off_type(position) < 0) return pos_type(off_type(-1));
    uint64_t at = static_cast<uint64_t>(off_type(position));
    if (at >= start_ && at <= start_ + static_cast<uint64_t>(egptr() - eback())) {
      setg(eback(), eback() + (at - start_), egptr());
    } else {
      start_ = at;  // read when the reader asks for the bytes
      setg(block_, block_, block_);
    }
    return position;
  }

 private:
  void Fill(uint64_t at) {
    long long got = -1;
    if (at == next_ || file_.Seek(at)) got = file_.Read(block_, sizeof block_);
    failed_ = failed_ || got < 0;
    got = got < 0 ? 0 : got;
    start_ = at;
    next_ = at + static_cast<uint64_t>(got);
    setg(block_, block_, block_ + got);
  }

  InFile& file_;
  char block_[8192];
  uint64_t start_ = 0;  // the file offset of block_[0]
  uint64_t next_ = 0;   // where the file's next read starts
  bool failed_ = false;
};

}  // namespace

WavInfo ReadWavFile(const std::filesystem::path& path) {
  InFile file;
  if (!file.OpenToLookAt(path)) return Fail(WavError::kUnreadable, kTextWavCannotOpen);
  uint64_t length = 0;
  if (!file.Size(length)) return Fail(WavError::kUnreadable, kTextWavNoLength);
  CardFileStream stream(file);
  std::istream in(&stream);
  WavInfo info = ReadWavHeader(in, length);
  if (stream.failed()) return Fail(WavError::kUnreadable, kTextWavReadFailed);
  return info;
}

std::string FormatName(const WavInfo& info) {
  auto name = [](uint16_t code) -> std::string {
    if (code == kWavePcm) return "PCM";
    if (code == kWaveFloat) return "float";
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", code);
    return hex;
  };
  if (info.formatTag != kWaveExtensible) return name(info.formatTag);
  std::string sub = info.standardSubFormat ? name(info.subFormat) : kTextNonStandardSubFormat;
  return Format(kTextExtensible, sub.c_str());
}

std::string FormatWords(uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample) {
  return Format(kTextFormatWords, static_cast<unsigned>(channels), static_cast<unsigned>(sampleRate),
                static_cast<unsigned>(bitsPerSample));
}
