// The WAVE header reader on files built byte by byte in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cardcheck/wav_header.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/wav_file.h"

namespace {

WavInfo Inspect(const std::string& bytes) {
  std::istringstream in(bytes);
  return ReadWavHeader(in, bytes.size());
}
WavInfo Inspect(const std::vector<unsigned char>& bytes) {
  return Inspect(std::string(bytes.begin(), bytes.end()));
}

}  // namespace

TEST(WavHeader, GoodPcmFilesReportTheirFormatAndLength) {
  struct Case {
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
    std::size_t frames;
    double seconds;
  } cases[] = {
      {1, 8000, 8, 8000, 1.0},    {2, 8000, 8, 4000, 0.5},     {1, 16000, 16, 40000, 2.5},
      {2, 44100, 16, 44100, 1.0}, {2, 48000, 24, 12000, 0.25}, {1, 22050, 16, 0x10001, 0x10001 / 22050.0},
  };
  for (const Case& k : cases) {
    WavInfo info = Inspect(PcmWav(k.channels, k.rate, k.bits, k.frames));
    SCOPED_TRACE(std::to_string(k.channels) + " ch " + std::to_string(k.rate) + " Hz " +
                 std::to_string(k.bits));
    ASSERT_TRUE(info.ok()) << info.detail;
    EXPECT_EQ(info.formatTag, kWavePcm);
    EXPECT_EQ(FormatName(info), "PCM");
    EXPECT_EQ(info.channels, k.channels);
    EXPECT_EQ(info.sampleRate, k.rate);
    EXPECT_EQ(info.bitsPerSample, k.bits);
    EXPECT_EQ(info.dataSize, k.frames * k.channels * (k.bits / 8));
    EXPECT_DOUBLE_EQ(info.Seconds(), k.seconds);
  }
}

TEST(WavHeader, FloatAndExtensibleFormats) {
  WavInfo f = Inspect(
      WavBuilder().Chunk("fmt ", Fmt(kWaveFloat, 2, 48000, 32)).Chunk("data", Samples(8 * 480)).Bytes());
  ASSERT_TRUE(f.ok()) << f.detail;
  EXPECT_EQ(FormatName(f), "float");
  EXPECT_DOUBLE_EQ(f.Seconds(), 0.01);

  WavInfo pcm = Inspect(WavBuilder()
                            .Chunk("fmt ", FmtExtensible(2, 44100, 16, kWavePcm))
                            .Chunk("data", Samples(4 * 441))
                            .Bytes());
  ASSERT_TRUE(pcm.ok()) << pcm.detail;
  EXPECT_EQ(pcm.formatTag, kWaveExtensible);
  EXPECT_EQ(pcm.subFormat, kWavePcm);
  EXPECT_TRUE(pcm.standardSubFormat);
  EXPECT_EQ(pcm.EffectiveFormat(), kWavePcm);
  EXPECT_EQ(FormatName(pcm), "WAVE_FORMAT_EXTENSIBLE (PCM)");
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_DOUBLE_EQ(pcm.Seconds(), 0.01);

  WavInfo flt = Inspect(WavBuilder()
                            .Chunk("fmt ", FmtExtensible(1, 96000, 32, kWaveFloat))
                            .Chunk("data", Samples(4 * 96))
                            .Bytes());
  ASSERT_TRUE(flt.ok()) << flt.detail;
  EXPECT_EQ(FormatName(flt), "WAVE_FORMAT_EXTENSIBLE (float)");

  WavInfo odd = Inspect(WavBuilder()
                            .Chunk("fmt ", FmtExtensible(1, 8000, 16, kWavePcm, false))
                            .Chunk("data", Samples(16))
                            .Bytes());
  ASSERT_TRUE(odd.ok()) << odd.detail;
  EXPECT_FALSE(odd.standardSubFormat);
  EXPECT_EQ(FormatName(odd), "WAVE_FORMAT_EXTENSIBLE (非标准子格式)");

  // The extension cut to the base 18 bytes of WAVEFORMATEX.
  std::string shortExt = FmtExtensible(1, 8000, 16, kWavePcm).substr(0, 18);
  EXPECT_EQ(Inspect(WavBuilder().Chunk("fmt ", shortExt).Chunk("data", Samples(16)).Bytes()).error,
            WavError::kBadFmt);
}

TEST(WavHeader, EveryTruncationOfAGoodFileIsCaught) {
  std::string good = WavBuilder()
                         .Chunk("LIST", "INFOISFTtool")
                         .Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 16))
                         .Chunk("data", Samples(200))
                         .Bytes();
  ASSERT_TRUE(Inspect(good).ok());
  for (std::size_t length = 0; length < good.size(); ++length) {
    WavInfo info = Inspect(good.substr(0, length));
    EXPECT_EQ(info.error, length < 12 ? WavError::kTooShort : WavError::kTruncated) << "length " << length;
  }
}

TEST(WavHeader, ChunksRunningPastTheEnd) {
  // The RIFF size matches the file, but data claims more than is there.
  WavInfo data = Inspect(WavBuilder()
                             .Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 16))
                             .Chunk("data", Samples(100), 100000, true)
                             .Bytes());
  EXPECT_EQ(data.error, WavError::kDataPastEnd);
  EXPECT_NE(data.detail.find("100000"), std::string::npos) << data.detail;
  // A size near 4 GiB must not wrap around the 32-bit arithmetic.
  WavInfo huge = Inspect(WavBuilder()
                             .Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 16))
                             .Chunk("LIST", "abcd", 0xFFFFFFF8u, false)
                             .Chunk("data", Samples(100))
                             .Bytes());
  EXPECT_EQ(huge.error, WavError::kChunkCutOff) << huge.detail;

  WavInfo list = Inspect(WavBuilder()
                             .Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 16))
                             .Chunk("data", Samples(100))
                             .Chunk("LIST", "abcd", 4000, true)
                             .Bytes());
  EXPECT_EQ(list.error, WavError::kChunkCutOff);

  // Four bytes after the last chunk: not even a chunk header.
  WavInfo header = Inspect(
      WavBuilder().Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 16)).Chunk("data", Samples(100)).Raw("junk").Bytes());
  EXPECT_EQ(header.error, WavError::kChunkCutOff);
}

TEST(WavHeader, OddSizedChunksNeedTheirPadByte) {
  // An odd LIST chunk before fmt, padded: the walk stays on its chunks.
  WavInfo list = Inspect(WavBuilder()
                             .Chunk("LIST", "abc")
                             .Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 8))
                             .Chunk("data", Samples(101))
                             .Bytes());
  ASSERT_TRUE(list.ok()) << list.detail;
  EXPECT_EQ(list.dataSize, 101u);

  // The same without the pad after LIST: fmt is no longer where the sizes say.
  WavInfo unpadded = Inspect(WavBuilder()
                                 .Chunk("LIST", "abc", 3, false)
                                 .Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 8))
                                 .Chunk("data", Samples(100))
                                 .Bytes());
  EXPECT_FALSE(unpadded.ok());

  // An odd data chunk that ends the file without its pad byte.
  WavBuilder lastOdd;
  lastOdd.Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 8)).Chunk("data", Samples(101), 101, false);
  EXPECT_EQ(Inspect(lastOdd.Bytes()).error, WavError::kMissingPad);

  // Its pad byte present but left out of the RIFF size: accepted.
  std::string trailingPad = lastOdd.Bytes() + '\0';
  WavInfo pad = Inspect(trailingPad);
  ASSERT_TRUE(pad.ok()) << pad.detail;
  EXPECT_EQ(pad.dataSize, 101u);
  // One byte more than that is not a pad byte.
  EXPECT_EQ(Inspect(trailingPad + '\0').error, WavError::kTrailingBytes);
}

TEST(WavHeader, FilesThatAreNotWave) {
  EXPECT_EQ(Inspect("").error, WavError::kTooShort);
  EXPECT_EQ(Inspect("ID3 tag, then mp3 frames").error, WavError::kNotRiff);
  std::vector<unsigned char> rifx = PcmWav(1, 8000, 16, 10);
  rifx[3] = 'X';
  EXPECT_EQ(Inspect(rifx).error, WavError::kNotRiff);
  std::vector<unsigned char> avi = PcmWav(1, 8000, 16, 10);
  std::copy_n("AVI ", 4, avi.begin() + 8);
  EXPECT_EQ(Inspect(avi).error, WavError::kNotWave);
  EXPECT_EQ(Inspect(std::string(64, '\0')).error, WavError::kNotRiff);
}

TEST(WavHeader, RiffSizeMustMatchTheFile) {
  WavBuilder b;
  b.Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 16)).Chunk("data", Samples(100));
  std::string good = b.Bytes();
  uint32_t riff = static_cast<uint32_t>(good.size() - 8);
  EXPECT_EQ(Inspect(b.Bytes(riff + 2)).error, WavError::kTruncated);
  EXPECT_EQ(Inspect(good + std::string(10, 'x')).error, WavError::kTrailingBytes);
  // An even RIFF size leaves no room for a trailing pad byte.
  EXPECT_EQ(Inspect(good + '\0').error, WavError::kTrailingBytes);
}

TEST(WavHeader, ChunkOrderAndMissingChunks) {
  std::string fmt = Fmt(kWavePcm, 1, 8000, 16);
  EXPECT_EQ(Inspect(WavBuilder().Chunk("data", Samples(100)).Chunk("fmt ", fmt).Bytes()).error,
            WavError::kFmtAfterData);
  EXPECT_EQ(Inspect(WavBuilder().Chunk("data", Samples(100)).Bytes()).error, WavError::kNoFmt);
  EXPECT_EQ(Inspect(WavBuilder().Chunk("fmt ", fmt).Chunk("LIST", "abcd").Bytes()).error, WavError::kNoData);
  EXPECT_EQ(Inspect(WavBuilder().Chunk("fmt ", fmt).Chunk("data", "").Bytes()).error, WavError::kEmptyData);
  EXPECT_EQ(Inspect(WavBuilder().Chunk("fmt ", fmt).Chunk("data", "x").Bytes()).error, WavError::kEmptyData)
      << "one byte is less than one 16-bit frame";
  // Chunks the device does not need, around the two it does, are skipped.
  WavInfo extra = Inspect(WavBuilder()
                              .Chunk("JUNK", std::string(28, '\0'))
                              .Chunk("fmt ", fmt)
                              .Chunk("fact", std::string("\x10\x00\x00\x00", 4))
                              .Chunk("data", Samples(100))
                              .Chunk("id3 ", "tag")
                              .Bytes());
  EXPECT_TRUE(extra.ok()) << extra.detail;
}

TEST(WavHeader, ImpossibleFmtValues) {
  auto with = [](std::string fmt) {
    return Inspect(WavBuilder().Chunk("fmt ", fmt).Chunk("data", Samples(64)).Bytes()).error;
  };
  std::string fmt = Fmt(kWavePcm, 2, 8000, 16);
  EXPECT_EQ(with(fmt.substr(0, 14)), WavError::kBadFmt) << "fmt shorter than 16 bytes";
  EXPECT_EQ(with(Fmt(kWavePcm, 0, 8000, 16)), WavError::kBadFmt) << "no channels";
  EXPECT_EQ(with(Fmt(kWavePcm, 1, 0, 16)), WavError::kBadFmt) << "no sample rate";
  EXPECT_EQ(with(Fmt(kWavePcm, 1, 8000, 0)), WavError::kBadFmt) << "no bits";
  std::string badBlock = fmt;
  badBlock[12] = 2;  // block align 2 for 2 channels of 16 bits
  EXPECT_EQ(with(badBlock), WavError::kBadFmt);
}

TEST(WavHeader, ReadsTheHeadersOnly) {
  // The stream holds the headers of a 3 GB file and nothing else: reading a
  // single sample would fail.
  const uint32_t samples = 3000000000u;
  std::string sizeField;
  PutLe32(sizeField, samples);
  std::string header =
      WavBuilder().Chunk("fmt ", Fmt(kWavePcm, 2, 48000, 16)).Raw("data" + sizeField).Bytes(36 + samples);
  std::istringstream in(header);
  WavInfo info = ReadWavHeader(in, 44 + static_cast<uint64_t>(samples));
  ASSERT_TRUE(info.ok()) << info.detail;
  EXPECT_EQ(info.dataSize, samples);
  EXPECT_DOUBLE_EQ(info.Seconds(), samples / 4 / 48000.0);
}

// From a file the reader reads blocks and seeks between them: whatever the
// file, it must come to what it finds in the same bytes in memory (a chunk
// header across a block's end, a chunk after a long data chunk, every cut
// around the blocks' edges).
TEST(WavHeader, AFileOnDiskReadsAsTheSameBytesInMemory) {
  ScratchDir scratch;
  const std::string path = (scratch.path() / "s.wav").string();
  auto same = [&](const std::string& bytes, const std::string& what) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    WavInfo disk = ReadWavFile(path), memory = Inspect(bytes);
    EXPECT_EQ(disk.error, memory.error) << what << ": " << disk.detail << " / " << memory.detail;
    EXPECT_EQ(disk.detail, memory.detail) << what;
    EXPECT_EQ(disk.dataSize, memory.dataSize) << what;
    EXPECT_EQ(disk.sampleRate, memory.sampleRate) << what;
  };
  // The LIST before data puts the data header across the first block's end.
  std::string good = WavBuilder()
                         .Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 16))
                         .Chunk("LIST", std::string(8192 - 12 - 24 - 8 - 4, 'x'))
                         .Chunk("data", Samples(30000))
                         .Chunk("LIST", "INFOISFTtool")
                         .Bytes();
  ASSERT_TRUE(Inspect(good).ok());
  same(good, "whole");
  for (std::size_t cut : {std::size_t{8190}, std::size_t{8192}, std::size_t{8195}, std::size_t{16384},
                          good.size() - 12, good.size() - 1})
    same(good.substr(0, cut), "cut at " + std::to_string(cut));
  same(WavBuilder().Chunk("fmt ", Fmt(kWavePcm, 1, 8000, 16)).Chunk("data", Samples(100), 100000, true).Bytes(),
       "data past the end");
  EXPECT_EQ(ReadWavFile(scratch.path() / "missing.wav").error, WavError::kUnreadable);
}
