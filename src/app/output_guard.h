#pragma once

#include <filesystem>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

// Where a report or an exported quote may be written. The files the program keeps (the project
// store, the default item in both places, the reference database and every quote file the store
// references) are never written over, whatever the engineer answers; any other existing file is
// replaced only when the engineer says so (the window asks kMsgPdfExists, the command line wants
// --force). Paths are compared with their links followed and "." and ".." resolved, so a link or
// a detour through another folder names the same file.
namespace quenta {

enum class xOutputCheck {
  Free,       // nothing there: write
  Exists,     // another file: write only when the engineer agrees to replace it
  Protected,  // a file the program keeps, or one of the inputs: never write
};

struct xOutputVerdict {
  xOutputCheck Check = xOutputCheck::Free;
  // For Protected: "Refusing to overwrite the project store FILE." and the like. Else empty.
  std::string Message;
};

// True when both paths name the same file: the same inode when both exist, else the same path
// once links, "." and ".." are resolved. Never throws.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The check of target against the store of the app-data folder appdata (store is its document
// element, or null when there is no store yet) and the files the job reads (inputs), which are
// never overwritten by its output: "Refusing to overwrite the input file FILE.". Never throws.
xOutputVerdict CheckOutputFile(const std::filesystem::path& appdata, pugi::xml_node store,
                               const std::filesystem::path& target,
                               const std::vector<std::filesystem::path>& inputs = {});
// The same with the store read from appdata's projman.xml, read only (nothing is made or locked).
xOutputVerdict CheckOutputFile(const std::filesystem::path& appdata, const std::filesystem::path& target,
                               const std::vector<std::filesystem::path>& inputs = {});

// The command line's rule: the message for Protected, "FILE exists; use --force to replace it."
// for Exists without force, else nothing.
std::optional<std::string> RefusedOutput(const xOutputVerdict& verdict, const std::filesystem::path& target,
                                         bool force);

}  // namespace quenta
