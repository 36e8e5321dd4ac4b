// A fresh directory for one test, removed with everything in it afterwards.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("bct-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

inline std::vector<unsigned char> ReadAllBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAllBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Captured standard output with the line ends the Windows C runtime adds
// ("\r\n") folded to "\n", so one expectation serves both platforms.
inline std::string WithoutCarriageReturns(std::string text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

// Writes bytes to file, making its folders first.
inline void PutBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}
// The same from a vector of bytes (a braced list of them too), or a text.
inline void PutFile(const std::filesystem::path& file, const std::vector<unsigned char>& bytes) {
  PutBytes(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
template <typename Text, typename = std::enable_if_t<std::is_convertible_v<const Text&, std::string_view>>>
void PutFile(const std::filesystem::path& file, const Text& text) {
  PutBytes(file, std::string_view(text));
}
