#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <string_view>

// Writing the files an engineer would miss (quote files, the project store). The new contents go
// to a temporary file in the same folder, are flushed to the disk, and only then renamed over
// the old file, so a crash or a full disk leaves either the old file or the new one, never half
// a file.
namespace quenta {

// One replacement of a file. Write puts the whole contents into the temporary file; Commit
// renames it over the target. Destroying the writer without Commit removes the temporary file
// and leaves the target as it was.
class xAtomicFile {
 public:
  explicit xAtomicFile(std::filesystem::path target);
  ~xAtomicFile();
  xAtomicFile(const xAtomicFile&) = delete;
  xAtomicFile& operator=(const xAtomicFile&) = delete;

  // Throws Exception naming the file when the temporary file cannot be made or written.
  void Write(std::string_view contents);
  // Throws Exception naming the file when the rename fails; the target is then unchanged.
  void Commit();

  const std::filesystem::path& Target() const { return target_; }
  // The temporary file while one exists, else empty.
  const std::filesystem::path& Temporary() const { return temporary_; }

 private:
  void Discard() noexcept;

  std::filesystem::path target_;
  std::filesystem::path temporary_;
};

// Replaces the file at target with contents through an xAtomicFile.
void WriteFileAtomic(const std::filesystem::path& target, std::string_view contents);

// The document as the system writes XML files: UTF-8 with a declaration, indented by two spaces.
std::string SerialiseXml(const pugi::xml_document& doc);

// Saves the document with WriteFileAtomic.
void SaveXmlAtomic(const pugi::xml_document& doc, const std::filesystem::path& target);

}  // namespace quenta
