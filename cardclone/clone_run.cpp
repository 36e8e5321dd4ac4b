#include "cardclone/clone_run.h"

#include <chrono>
#include <cstring>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "cardcheck/card_model.h"
#include "cardclone/checksum.h"
#include "settings/audio_folders.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

namespace {

// A bytes buffer aligned for uncached reads.
class AlignedBuffer {
 public:
  explicit AlignedBuffer(std::size_t size) : raw_(size + kIoAlign) {
    auto address = reinterpret_cast<std::uintptr_t>(raw_.data());
    data_ = raw_.data() + (kIoAlign - address % kIoAlign) % kIoAlign;
  }
  char* data() { return data_; }

 private:
  std::vector<char> raw_;
  char* data_;
};

}  // namespace

namespace {

// One card's writer. Every step returns false after recording the reason.
class CardWriter {
 public:
  CardWriter(const GoldenCard& golden, const Target& target, bool keepExtra, GoldenWindow& window,
             std::size_t card, CardResult& result, std::atomic<uint64_t>& progress)
      : golden_(golden),
        target_(target),
        keepExtra_(keepExtra),
        window_(window),
        card_(card),
        result_(result),
        progress_(progress),
        buffer_(kPieceSize) {}

  void Run() {
    auto start = std::chrono::steady_clock::now();
    bool ok = StillTheCard() && PrepareTree() && CopyFiles() && WriteSettings() && CheckTheCard();
    window_.Leave(card_);
    if (!ok) RemoveTemp();
    result_.ready = ok;
    result_.verified = ok;
    result_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

 private:
  bool Fail(const std::string& reason) {
    if (result_.reason.empty()) result_.reason = reason;
    return false;
  }

  bool FailIo(const std::string& doing, const IoError& error) {
    if (IdOf(target_.path) != target_.id) return Fail("存储卡已移除或已更换 (" + doing + ")");
    std::error_code ec;
    fs::space_info space = fs::space(target_.path, ec);
    if (error.full || (!ec && space.available < kIoAlign)) return Fail("存储卡已满 (" + doing + ")");
    return Fail(doing + "出错: " + error.text);
  }

  // A card taken out (or unmounted, or another card put in its place) no
  // longer shows the folder it started with.
  bool StillTheCard() {
    if (IdOf(target_.path) == target_.id) return true;
    return Fail("存储卡已移除或已更换");
  }

  // The old settings file goes before anything else on the card changes, so
  // a card cut short never carries one. A card that needs no change at all
  // keeps it (and is not written to).
  bool Touch() {
    if (touched_) return true;
    if (!StillTheCard()) return false;
    touched_ = true;
    std::error_code ec;
    fs::path settings = target_.path / kConfigFileName;
    if (fs::exists(fs::symlink_status(settings, ec)) && !fs::remove(settings, ec)) {
      return Fail(std::string("无法删除旧的 ") + kConfigFileName + ": " + ec.message());
    }
    return true;
  }

  // Removes a file, or a folder with everything in it; counts the files.
  bool Remove(const fs::path& path, const std::string& rel) {
    if (!Touch()) return false;
    std::error_code ec;
    int files = 0;
    if (fs::is_directory(fs::symlink_status(path, ec))) {
      for (fs::recursive_directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec)) ++files;
      }
    } else {
      files = 1;
    }
    std::uintmax_t count = fs::remove_all(path, ec);
    if (ec || count == static_cast<std::uintmax_t>(-1)) {
      return Fail("无法删除 " + CardSpelling(rel) + ": " + ec.message());
    }
    if (path.filename().u8string() != kCloneTempName) result_.filesRemoved += files;
    return true;
  }

  // On a card whose names ignore case (FAT), "SenseRand" may stand there as
  // "senserand": the same entry under another spelling, which the device
  // takes as the same. It keeps the card's spelling (renaming a folder is not
  // safe on every FAT driver: fusefat loses the folder's contents) and is
  // compared with the golden entry like any other.
  std::string GoldenSpelling(const fs::path& dir, const fs::directory_entry& entry,
                             const std::string& childRel) {
    auto golden = spellings_.find(Lower(childRel));
    if (golden == spellings_.end()) return childRel;
    fs::path goldenPath = dir / fs::u8path(golden->second.substr(golden->second.rfind('/') + 1));
    return IdOf(goldenPath) == IdOf(entry.path()) ? golden->second : childRel;
  }

  static std::string Lower(std::string text) {
    for (char& c : text) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
  }

  // Removes what the golden card lacks inside dir (unless kept) and what is
  // in the way of a golden file or folder of the same name.
  bool Sweep(const fs::path& dir, const std::string& rel) {
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
    if (ec) return Fail("无法读取 " + CardSpelling(rel) + ": " + ec.message());
    for (const fs::directory_entry& entry : entries) {
      std::string name = entry.path().filename().u8string();
      std::string childRel = rel + "/" + name;
      if (folders_.count(childRel) == 0 && files_.count(childRel) == 0) {
        childRel = GoldenSpelling(dir, entry, childRel);
      }
      const fs::path& path = entry.path();
      bool isFolder = fs::is_directory(fs::symlink_status(path, ec));
      bool goldenFolder = folders_.count(childRel) > 0;
      bool goldenFile = files_.count(childRel) > 0;
      if (name == kCloneTempName) {
        if (!Remove(entry.path(), childRel)) return false;
      } else if (isFolder && goldenFolder) {
        if (!Sweep(path, childRel)) return false;
      } else if (!isFolder && goldenFile) {
        // Compared with the golden file while copying.
      } else if (keepExtra_ && !goldenFolder && !goldenFile) {
        // Kept at the user's request.
      } else if (!Remove(path, childRel)) {
        return false;
      }
    }
    return true;
  }

  bool PrepareTree() {
    for (const std::string& folder : golden_.folders) folders_.insert(folder);
    for (const GoldenFile& file : golden_.files) files_.insert(file.rel);
    for (const std::string& folder : golden_.folders) spellings_[Lower(folder)] = folder;
    for (const GoldenFile& file : golden_.files) spellings_[Lower(file.rel)] = file.rel;
    std::string audio = std::string(kAudioFolder);
    fs::path audioPath = target_.path / fs::u8path(audio);
    std::error_code ec;
    fs::file_status status = fs::symlink_status(audioPath, ec);
    if (fs::exists(status)) {
      if (fs::is_directory(status) && (golden_.hasAudio || keepExtra_)) {
        if (!Sweep(audioPath, audio)) return false;
      } else if (!Remove(audioPath, audio)) {
        return false;
      }
    }
    for (const std::string& folder : golden_.folders) {
      fs::path path = target_.path / fs::u8path(folder);
      if (fs::is_directory(path, ec)) continue;
      if (!Touch()) return false;
      if (!fs::create_directory(path, ec) && !fs::is_directory(path, ec)) {
        return Fail("无法创建文件夹 " + CardSpelling(folder) + ": " + (ec ? ec.message() : "已有同名文件"));
      }
    }
    return true;
  }

  // ---- one golden file, chunk by chunk ----

  bool BeginFile(std::size_t index) {
    if (!StillTheCard()) return false;
    file_ = &golden_.files[index];
    finalPath_ = target_.path / fs::u8path(file_->rel);
    tempPath_ = finalPath_.parent_path() / kCloneTempName;
    offset_ = 0;
    writing_ = true;
    std::error_code ec;
    // A file of the same size may already hold the same bytes: compare it
    // first and write only when it differs.
    if (fs::is_regular_file(fs::symlink_status(finalPath_, ec)) &&
        fs::file_size(finalPath_, ec) == file_->size && !ec && old_.Open(finalPath_, true)) {
      writing_ = false;
      return true;
    }
    return StartWriting();
  }

  bool StartWriting() {
    writing_ = true;
    if (!Touch()) return false;
    if (!out_.Create(tempPath_)) return FailIo("写入 " + CardSpelling(file_->rel) + " 时", out_.error());
    return true;
  }

  // The old file matched the golden bytes up to offset_: those bytes go into
  // the new file from the card, the rest from the golden chunks.
  bool SwitchToWriting() {
    old_.Close();
    if (!StartWriting()) return false;
    InFile prefix;
    if (!prefix.Open(finalPath_, false))
      return FailIo("读取 " + CardSpelling(file_->rel) + " 时", prefix.error());
    uint64_t left = offset_;
    while (left > 0) {
      std::size_t want = left < kPieceSize ? static_cast<std::size_t>(left) : kPieceSize;
      long long got = prefix.Read(buffer_.data(), want);
      if (got != static_cast<long long>(want)) {
        return FailIo("读取 " + CardSpelling(file_->rel) + " 时", prefix.error());
      }
      if (!out_.Write(buffer_.data(), want))
        return FailIo("写入 " + CardSpelling(file_->rel) + " 时", out_.error());
      left -= want;
    }
    return true;
  }

  bool TakeChunk(const GoldenPiece& chunk) {
    const std::size_t size = chunk.bytes.size();
    if (!writing_) {
      // Uncached reads take whole aligned blocks; only the end of the file
      // may come short, and then it must match exactly.
      long long got = size == 0 ? 0 : old_.Read(buffer_.data(), kPieceSize);
      bool same =
          got == static_cast<long long>(size) && std::memcmp(buffer_.data(), chunk.bytes.data(), size) == 0;
      if (!same && !SwitchToWriting()) return false;
    }
    if (writing_ && size > 0 && !out_.Write(chunk.bytes.data(), size)) {
      return FailIo("写入 " + CardSpelling(file_->rel) + " 时", out_.error());
    }
    offset_ += size;
    progress_ += size;
    return true;
  }

  bool EndFile(const GoldenPiece& last) {
    std::string name = CardSpelling(file_->rel);
    if (!writing_) {
      old_.Close();
      ++result_.filesIdentical;
      return true;
    }
    if (!out_.FlushToMedium() || !out_.Close()) return FailIo("写入 " + name + " 时", out_.error());
    // Read back from the medium and compare with the golden file's checksum.
    InFile back;
    if (!back.Open(tempPath_, true)) return FailIo("读回 " + name + " 时", back.error());
    Checksum128 checksum;
    uint64_t total = 0;
    long long got = 0;
    while ((got = back.Read(buffer_.data(), kPieceSize)) > 0) {
      checksum.Update(buffer_.data(), static_cast<std::size_t>(got));
      total += static_cast<uint64_t>(got);
    }
    back.Close();
    if (got < 0) return FailIo("读回 " + name + " 时", back.error());
    if (total != offset_ || checksum.Digest() != last.digest) return Fail("读回校验不符: " + name);
    IoError error;
    if (!PutFileInPlace(tempPath_, finalPath_, error)) return FailIo("写入 " + name + " 时", error);
    ++result_.filesWritten;
    result_.bytesWritten += offset_;
    return true;
  }

  bool CopyFiles() {
    std::size_t current = static_cast<std::size_t>(-1);
    while (std::shared_ptr<const GoldenPiece> chunk = window_.Next(card_)) {
      if (!chunk->readError.empty()) return Fail(chunk->readError);
      if (chunk->file != current) {
        current = chunk->file;
        if (!BeginFile(current)) return false;
      }
      if (!TakeChunk(*chunk)) return false;
      if (chunk->last && !EndFile(*chunk)) return false;
    }
    if (current == static_cast<std::size_t>(-1) ? !golden_.files.empty()
                                                : current + 1 != golden_.files.size()) {
      return Fail("样板卡的文件没有读完");
    }
    return true;
  }

  // ---- the settings file last, through its temporary file ----

  // True when the card's settings file already holds the golden bytes.
  bool SettingsAlreadyThere(const fs::path& settings) {
    InFile old;
    if (!old.Open(settings, true)) return false;
    long long got = old.Read(buffer_.data(), kIoAlign);
    return got == static_cast<long long>(golden_.settings.size()) &&
           std::memcmp(buffer_.data(), golden_.settings.data(), golden_.settings.size()) == 0;
  }

  // The settings go through the first of the temporary names where a new
  // file can be made, as the tool's own write does.
  bool CreateSettingsTemp(const fs::path& folder) {
    tempPath_.clear();
    int tried = 0;
    int number = CreateConfigTemp(
        out_, [&](int n) { return folder / ConfigTempName(n); }, tried);
    if (number >= 0) tempPath_ = folder / ConfigTempName(number);
    return number >= 0;
  }

  bool WriteSettings() {
    if (!StillTheCard()) return false;
    fs::path settings = target_.path / kConfigFileName;
    if (!touched_ && SettingsAlreadyThere(settings)) return true;
    const std::string doing = std::string("写入 ") + kConfigFileName + " 时";
    if (!CreateSettingsTemp(target_.path)) return FailIo(doing, out_.error());
    const fs::path temp = tempPath_;
    if (!out_.Write(golden_.settings.data(), golden_.settings.size()) || !out_.FlushToMedium() ||
        !out_.Close()) {
      return FailIo(doing, out_.error());
    }
    InFile back;
    if (!back.Open(temp, true)) return FailIo(doing, back.error());
    long long got = back.Read(buffer_.data(), kIoAlign);
    back.Close();
    if (got != static_cast<long long>(golden_.settings.size()) ||
        std::memcmp(buffer_.data(), golden_.settings.data(), golden_.settings.size()) != 0) {
      return got < 0 ? FailIo(doing, back.error()) : Fail(std::string("读回校验不符: ") + kConfigFileName);
    }
    IoError error;
    if (!PutFileInPlace(temp, settings, error)) return FailIo(doing, error);
    tempPath_.clear();
    return true;
  }

  bool CheckTheCard() {
    CardReport report = CheckCard(target_.path);
    if (report.Ready()) return true;
    // A card that failed carries no settings file, so it never looks ready.
    std::error_code ec;
    fs::remove(target_.path / kConfigFileName, ec);
    std::string reason = "存储卡检查未通过: " + report.problems.front();
    if (report.problems.size() > 1) reason += " (共 " + std::to_string(report.problems.size()) + " 个问题)";
    return Fail(reason);
  }

  void RemoveTemp() {
    out_.Close();
    old_.Close();
    std::error_code ec;
    if (!tempPath_.empty()) fs::remove(tempPath_, ec);
  }

  const GoldenCard& golden_;
  const Target& target_;
  bool keepExtra_;
  GoldenWindow& window_;
  std::size_t card_;
  CardResult& result_;
  std::atomic<uint64_t>& progress_;
  AlignedBuffer buffer_;
  std::unordered_set<std::string> folders_, files_;
  std::unordered_map<std::string, std::string> spellings_;  // lower case -> golden spelling

  const GoldenFile* file_ = nullptr;
  fs::path finalPath_, tempPath_;
  uint64_t offset_ = 0;
  bool writing_ = false;
  bool touched_ = false;
  OutFile out_;
  InFile old_;
};

}  // namespace

CloneRun::CloneRun(const GoldenCard& golden, const std::vector<Target>& targets, bool keepExtra)
    : golden_(golden),
      targets_(targets),
      keepExtra_(keepExtra),
      cards_(targets.size()),
      window_(targets.size(), kWindowPieces),
      results_(targets.size()),
      progress_(new std::atomic<uint64_t>[targets.size()]),
      states_(new std::atomic<CardState>[targets.size()]) {
  for (std::size_t i = 0; i < cards_; ++i) {
    progress_[i] = 0;
    states_[i] = CardState::kWriting;
    results_[i].target = targets[i].given;
  }
}

CloneRun::~CloneRun() { Wait(); }

void CloneRun::Start() {
  for (std::size_t i = 0; i < cards_; ++i) {
    threads_.emplace_back([this, i] {
      CardWriter writer(golden_, targets_[i], keepExtra_, window_, i, results_[i], progress_[i]);
      writer.Run();
      states_[i] = results_[i].ready ? CardState::kReady : CardState::kFailed;
      ++finished_;
    });
  }
  threads_.emplace_back([this] { ReadGolden(golden_, window_); });
}

void CloneRun::Wait() {
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}
