#include "calc_command.h"

#include <unistd.h>

#include <cerrno>
#include <exception>
#include <utility>

#include "calc_curves.h"

namespace quenta::cli {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 16;

// Writes all of text to fd; false when the file refuses it.
bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Answers collected and written to a file descriptor in large blocks; what is left goes out
// when the writer is destroyed, an escaping exception included, so that the answers given before
// it are not lost.
class BlockWriter {
 public:
  explicit BlockWriter(int fd) : fd_(fd) { buffer_.reserve(2 * kBlock); }
  ~BlockWriter() { Flush(); }
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  std::string& Buffer() { return buffer_; }
  void FlushWhenFull() {
    if (buffer_.size() >= kBlock) Flush();
  }
  void Flush() {
    if (good_ && !buffer_.empty()) good_ = WriteAll(fd_, buffer_);
    buffer_.clear();
  }

 private:
  int fd_;
  bool good_ = true;
  std::string buffer_;
};

bool Blank(std::string_view line) {
  return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

}  // namespace

std::pair<xCalcAnswer, bool> CalcAnswer(AnswerFunction calc, std::string_view text, bool diffuser,
                                        xCalcInput& input, xCalcCurves* curves) {
  auto failure = [](std::string message) {
    xCalcAnswer error;
    error.Text("error", std::move(message));
    return std::pair{std::move(error), false};
  };
  try {
    input.Parse(text);
    return {calc(input, diffuser, curves), true};
  } catch (const nlohmann::json::parse_error& e) {
    return failure(std::string("The input is not valid JSON: ") + e.what());
  } catch (const std::exception& e) {
    return failure(e.what());
  }
}

int CalcLines(AnswerFunction calc, bool diffuser, int in, int out) {
  xCalcInput condition;
  xCalcCurves curves;
  BlockWriter writer(out);
  bool ok = true;
  auto answer = [&](std::string_view line) {
    if (Blank(line)) return;
    const auto [result, good] = CalcAnswer(calc, line, diffuser, condition, &curves);
    result.AppendCompact(writer.Buffer());
    writer.Buffer() += '\n';
    writer.FlushWhenFull();
    ok = ok && good;
  };

  // The unanswered rest of the input: the lines of a block and the start of the next line.
  std::string input;
  std::size_t start = 0;
  for (;;) {
    if (start > 0) {
      input.erase(0, start);
      start = 0;
    }
    const std::size_t have = input.size();
    input.resize(have + kBlock);
    const ssize_t n = ::read(in, input.data() + have, kBlock);
    if (n < 0 && errno == EINTR) {
      input.resize(have);
      continue;
    }
    input.resize(have + (n > 0 ? static_cast<std::size_t>(n) : 0));
    if (n <= 0) break;
    const std::string_view text(input);
    for (std::size_t newline; (newline = text.find('\n', start)) != std::string_view::npos;
         start = newline + 1)
      answer(text.substr(start, newline - start));
  }
  if (start < input.size()) answer(std::string_view(input).substr(start));
  return ok ? 0 : 1;
}

}  // namespace quenta::cli
