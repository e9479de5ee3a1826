#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/temp_database.h"

namespace quenta::testing {

// What a program said and how it ended.
struct ProgramResult {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out, err;
};

inline std::string Slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Spit(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// Runs a program as a script would: each argument quoted for the shell, standard input from the
// given text (or nothing), in the "C" locale so that every number it writes uses ".".
inline ProgramResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                                const std::optional<std::string>& input = std::nullopt) {
  TempDir dir;
  std::string cmd = "LC_ALL=C '" + program.string() + "'";
  for (const auto& a : args) cmd += " '" + a + "'";
  if (input) Spit(dir.path() / "in", *input);
  cmd += " >'" + (dir.path() / "out").string() + "' 2>'" + (dir.path() / "err").string() + "' <" +
         (input ? "'" + (dir.path() / "in").string() + "'" : std::string("/dev/null"));
  const int rc = std::system(cmd.c_str());
  ProgramResult r;
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = Slurp(dir.path() / "out");
  r.err = Slurp(dir.path() / "err");
  return r;
}

// quenta-cli beside the test program.
inline ProgramResult QuentaCli(const std::vector<std::string>& args,
                               const std::optional<std::string>& input = std::nullopt) {
  return RunProgram(platform::ProgramFolder() / "quenta-cli", args, input);
}

// One "quenta-cli calc KIND [--diffuser]" run with a JSON object on standard input, and the JSON
// it answered with on either stream (a discarded value when it printed none).
struct CalcResult {
  int status = -1;
  nlohmann::json answer;
  std::string err;
};

inline CalcResult QuentaCalc(const std::string& kind, const nlohmann::json& input, bool diffuser) {
  std::vector<std::string> args = {"calc", kind};
  if (diffuser) args.push_back("--diffuser");
  const ProgramResult run = QuentaCli(args, input.dump());
  return {run.status, nlohmann::json::parse(run.out.empty() ? run.err : run.out, nullptr, false), run.err};
}

}  // namespace quenta::testing
