// The header of a .wav file as the device reads it: the RIFF/WAVE frame, the
// fmt chunk and where the samples are. Only chunk headers and the fmt chunk
// are read, never the samples, so a card of thousands of files checks fast.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>

constexpr uint16_t kWavePcm = 0x0001;
constexpr uint16_t kWaveFloat = 0x0003;
constexpr uint16_t kWaveExtensible = 0xFFFE;

// What is wrong with a file, in the order the reader finds it.
enum class WavError {
  kNone,
  kUnreadable,     // the file cannot be opened or read
  kTooShort,       // less than a RIFF header
  kNotRiff,        // does not start with "RIFF"
  kNotWave,        // a RIFF file, but not "WAVE"
  kTruncated,      // shorter than the RIFF size says
  kTrailingBytes,  // longer than the RIFF size says (beyond one pad byte)
  kChunkCutOff,    // a chunk header or a chunk runs past the end of the RIFF data
  kMissingPad,     // an odd-sized chunk without its pad byte
  kTooManyChunks,  // more chunks than any real file has
  kNoFmt,          // no fmt chunk at all
  kFmtAfterData,   // the fmt chunk comes after the data chunk
  kBadFmt,         // fmt chunk too short or with impossible values
  kDataPastEnd,    // the data chunk runs past the end of the file
  kNoData,         // no data chunk
  kEmptyData,      // a data chunk without a single sample frame
};

struct WavInfo {
  WavError error = WavError::kNone;
  std::string detail;  // what exactly is wrong, for the report (UTF-8)

  // From the fmt chunk; valid when error is kNone.
  uint16_t formatTag = 0;
  uint16_t subFormat = 0;          // for kWaveExtensible: the code the sub-format GUID names
  bool standardSubFormat = false;  // the GUID is the standard one for that code
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 0;
  uint16_t blockAlign = 0;
  uint64_t dataSize = 0;  // bytes of samples

  bool ok() const { return error == WavError::kNone; }
  // Length of the sound in seconds.
  double Seconds() const;
  // The format code that decides how the samples are coded: the sub-format
  // for WAVE_FORMAT_EXTENSIBLE, the format tag otherwise.
  uint16_t EffectiveFormat() const { return formatTag == kWaveExtensible ? subFormat : formatTag; }
};

// Reads the header of a WAVE file of `length` bytes from `in` (positioned
// anywhere; the reader seeks).
WavInfo ReadWavHeader(std::istream& in, uint64_t length);

// The same for the file at path.
WavInfo ReadWavFile(const std::filesystem::path& path);

// "PCM", "float", "WAVE_FORMAT_EXTENSIBLE (PCM)" and the like.
std::string FormatName(const WavInfo& info);

// "1 声道 16000 Hz 16 位": what must agree between the files of one folder.
std::string FormatWords(uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample);
