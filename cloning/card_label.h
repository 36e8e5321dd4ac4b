// Numbered volume labels: each card made gets a name and the next number
// ("北坡" from 1: 北坡01, 北坡02, ...), the name on its sticker and in the
// record. The label is checked against each card's file system before
// anything is written, and given once the card is verified and its settings
// are in place.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>

#include "common/file_io.h"

// "北坡" and 7 with 2 digits: "北坡07"; the number takes more digits when it
// needs them.
std::string NumberedLabel(const std::string& name, int number, int digits);

// The digits for numbers up to last: as many as it has, at least two.
int LabelDigits(int last);

// Why label cannot be the volume label of a file system fileSystem (as the
// system names it: "FAT32", "exFAT", "NTFS"): too long (FAT: 11 bytes in the
// OEM code page; exFAT: 11 characters; NTFS and others: 32), a character FAT
// does not take, or none at all. Empty when it can.
std::string LabelProblem(const std::string& label, const std::string& fileSystem);

// The same for name with the numbers up to last at digits: said with the
// longest name that fits the file system.
std::string NumberedLabelRefusal(const std::string& name, int last, int digits,
                                 const std::string& fileSystem);

// Whether the label a volume reports is the one it was given: FAT keeps
// labels upper-cased.
bool SameLabel(const std::string& given, const std::string& reported);

// What labelling one card came to: the label it has now, and the words when
// it did not take the one it was to get.
struct LabelOutcome {
  std::string label;
  std::string problem;
};

// The numbers of one name, handed out to the cards as they are made, across
// every run that uses them (several runs may write at once).
class LabelNumbers {
 public:
  LabelNumbers(std::string name, int next, int digits)
      : name_(std::move(name)), next_(next), digits_(digits) {}
  const std::string& name() const { return name_; }
  int digits() const { return digits_; }
  int Next() const;
  // The next number is at least number (the record says lower ones are used).
  void Raise(int number);
  // Why the labels of count more cards cannot go on the volume (a folder
  // that is not a card's root has no label of its own); empty when they can.
  std::string Refusal(int count, const VolumeInfo& volume) const;
  // Gives the card at root the next label and reads it back; the number is
  // used only when the card took it. Cards are labelled one at a time.
  LabelOutcome Label(const std::filesystem::path& root, const std::string& fileSystem);

 private:
  const std::string name_;
  mutable std::mutex mutex_;
  int next_;
  const int digits_;
};
