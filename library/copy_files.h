// The file-system steps of the copy, on the tool's narrow paths: whether two
// names reach one file, undoing what a failed copy left, and the names that
// already stand in the folder being filled.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_set>

// One file, reached through two names: copying it onto itself would destroy
// it. Compared by the file system's identity, which also sees through case,
// short names and links.
bool SameFile(const char* a, const char* b);

// What a file looked like before a copy over it.
struct FileStamp {
  bool exists = false;
  WIN32_FILE_ATTRIBUTE_DATA data{};
};
FileStamp Stamp(const char* path);

// A copy that fails part-way (a full card) can leave a cut-off file that the
// device would play. Whatever the failed copy itself wrote is removed; a file
// it never touched (a locked or write-protected one) stays.
void RemoveLeftover(const char* target, const FileStamp& before);

// The names that stand in the folder being filled, as the file system
// compares them (upper case; long and 8.3 names). A file whose name is not
// among them is new and needs no look before its copy: on a FAT card, and
// under Wine, every lookup of a name that does not exist reads the whole
// folder, which cost about as much as copying a small file. The folder is
// read once instead; every name a copy may have made is added.
class FolderNames {
 public:
  // Reads the names matching pattern ("<folder>\*"); when the folder cannot
  // be read whole, no name counts as new.
  void Read(const char* pattern);
  // Whether name is surely not in the folder.
  bool IsNew(const char* name) const;
  void Add(const char* name);

 private:
  std::unordered_set<std::wstring> names_;
  bool known_ = false;
};
