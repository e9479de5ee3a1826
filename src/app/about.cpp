#include "app/about.h"

#include <array>
#include <charconv>

#include "platform/platform.h"

namespace quenta {

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

}  // namespace

std::string MailtoEncode(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size() * 3);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto c = static_cast<unsigned char>(value[i]);
    if (c == '\r' || c == '\n') {
      // Mail lines end in CR LF; a CR LF pair is one line break, not two.
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
      out += "%0D%0A";
    } else if (Unreserved(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::string FeedbackLink(std::string_view text, std::string_view address) {
  return "mailto:" + std::string(address) + "?subject=" + MailtoEncode(kFeedbackSubject) +
         "&body=" + MailtoEncode(text);
}

std::string MakerMailLink(std::string_view address) {
  return "mailto:" + std::string(address);
}

bool SendFeedback(std::string_view text) {
  return platform::ShellOpen(FeedbackLink(text));
}

bool OpenMakerWebSite() {
  return platform::ShellOpen(kMakerWebAddress);
}

bool OpenMakerMail() {
  return platform::ShellOpen(MakerMailLink());
}

std::string VersionText(std::string_view version) {
  std::array<unsigned, 4> parts{};
  std::size_t count = 0;
  const char* p = version.data();
  const char* const end = version.data() + version.size();
  while (true) {
    if (count == parts.size() || p == end || *p < '0' || *p > '9') return kFallbackVersionText;
    unsigned n = 0;
    const auto [next, ec] = std::from_chars(p, end, n);
    if (ec != std::errc() || n > 0xFFFF) return kFallbackVersionText;
    parts[count++] = n;
    p = next;
    if (p == end) break;
    if (*p != '.') return kFallbackVersionText;
    ++p;
  }
  return "Version " + std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
         std::to_string(parts[2]) + "." + std::to_string(parts[3]);
}

std::string VersionText() {
  return VersionText(platform::Version());
}

}  // namespace quenta
