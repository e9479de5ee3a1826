#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

// Writing every file the program produces (quote files, the project store, the default item,
// PDFs, exports). The new contents go to a temporary file made with mkstemp in the folder of the
// real file, are flushed to the disk, and only then renamed over the old file, so a crash or a
// full disk leaves either the old file or the new one, never half a file. A target that is a
// symbolic link is followed first: the file it finally names is replaced and the link stays a
// link. The version replaced is kept beside the file as "NAME~" (one generation).
namespace quenta {

// The temporary files of saves are ".NAME.XXXXXX.tmp" beside NAME.
inline constexpr const char* kTemporarySuffix = ".tmp";
// The previous version of NAME is kept as NAME + kBackupSuffix.
inline constexpr const char* kBackupSuffix = "~";

// The file a write to path replaces: path itself, or the final target of the chain of links
// that path is (relative links read from the folder of the link). Throws Exception naming path
// when the chain is longer than 40 links.
std::filesystem::path ResolveLinks(const std::filesystem::path& path);

// One replacement of a file. Write puts the whole contents into the temporary file; Commit
// keeps the old file as NAME~ and renames the temporary file over it. Destroying the writer
// without Commit removes the temporary file and leaves the target as it was.
class xAtomicFile {
 public:
  // Throws Exception when target is a chain of links too long to follow.
  explicit xAtomicFile(const std::filesystem::path& target);
  ~xAtomicFile();
  xAtomicFile(const xAtomicFile&) = delete;
  xAtomicFile& operator=(const xAtomicFile&) = delete;

  // Throws Exception naming the file when the temporary file cannot be made or written.
  void Write(std::string_view contents);
  // Throws Exception naming the file when the rename fails; the target is then unchanged.
  void Commit();

  // The file that is replaced: the target with its links followed.
  const std::filesystem::path& Target() const { return target_; }
  // The temporary file while one exists, else empty.
  const std::filesystem::path& Temporary() const { return temporary_; }

 private:
  void Discard() noexcept;
  bool KeepBackup() const noexcept;

  std::filesystem::path named_;
  std::filesystem::path target_;
  std::filesystem::path temporary_;
};

// Replaces the file at target with contents through an xAtomicFile.
void WriteFileAtomic(const std::filesystem::path& target, std::string_view contents);

// True for a name a save gives its temporary file: ".NAME.XXXXXX.tmp".
bool IsTemporaryFileName(std::string_view name);

// Removes the temporary files of saves that died from folder (not below it): regular files with
// a temporary name last written more than maxAge ago. Links and other files are left alone.
// Returns how many were removed; never throws.
int RemoveStaleTemporaryFiles(const std::filesystem::path& folder,
                              std::chrono::seconds maxAge = std::chrono::hours(24));

}  // namespace quenta
