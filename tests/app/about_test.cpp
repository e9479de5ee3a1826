#include "app/about.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace quenta {
namespace {

// What a mail program does with a header value of a mailto: link.
std::string PercentDecode(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

TEST(FeedbackLinkTest, EncodesTheSubjectAndTheBody) {
  const std::string prefix = "mailto:me@example.org?subject=Problem%2FComment%2FSuggestion&body=";
  struct Case {
    const char* text;
    const char* body;
  };
  const Case cases[] = {
      {"", ""},  // an empty form still opens a message with its subject
      {"Valve-2_a.b~", "Valve-2_a.b~"},
      {"a & b #1 100%", "a%20%26%20b%20%231%20100%25"},
      {"x=1+2?y", "x%3D1%2B2%3Fy"},
      {"one\ntwo", "one%0D%0Atwo"},
      {"one\r\ntwo\rthree\n\nfour", "one%0D%0Atwo%0D%0Athree%0D%0A%0D%0Afour"},
      {"\xC2\xB0"
       "C",
       "%C2%B0C"},  // UTF-8 byte by byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FeedbackLink(c.text, "me@example.org"), prefix + c.body) << c.text;
  }
}

TEST(FeedbackLinkTest, EveryCharacterReachesTheMailProgram) {
  std::string text;
  for (int c = 1; c < 256; ++c) {
    if (c != '\r' && c != '\n') text += static_cast<char>(c);
  }
  const std::string encoded = MailtoEncode(text);
  // Nothing in the value may end the header, start another one or start a fragment.
  EXPECT_EQ(encoded.find_first_of("&#=?+ \r\n"), std::string::npos);
  EXPECT_EQ(PercentDecode(encoded), text);
}

TEST(FeedbackLinkTest, TheDefaultAddressIsTheMakers) {
  EXPECT_EQ(FeedbackLink("x").rfind(std::string("mailto:") + kMakerMailAddress + "?subject=", 0), 0u);
  EXPECT_EQ(MakerMailLink(), std::string("mailto:") + kMakerMailAddress);
}

TEST(VersionTextTest, ShowsFourPartsOrTheFallback) {
  struct Case {
    const char* version;
    const char* text;
  };
  const Case cases[] = {
      {"3.5.0.5", "Version 3.5.0.5"}, {"0.1.0", "Version 0.1.0.0"},
      {"3", "Version 3.0.0.0"},       {"65535.0.0.65535", "Version 65535.0.0.65535"},
      {"65536.0.0.0", "Version 3.x"},  // does not fit the 16 bits of a part
      {"1.2.3.4.5", "Version 3.x"},   {"", "Version 3.x"},
      {"3.x", "Version 3.x"},         {"1..2", "Version 3.x"},
      {"1.2.", "Version 3.x"},        {"-1.2", "Version 3.x"},
      {"+1.2", "Version 3.x"},        {"1.2-beta", "Version 3.x"},
      {" 1.2", "Version 3.x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VersionText(c.version), c.text) << c.version;
  }
}

TEST(VersionTextTest, ShowsTheProgramsOwnVersion) {
  const std::string text = VersionText();
  EXPECT_NE(text, kFallbackVersionText);
  EXPECT_EQ(text.rfind("Version " + platform::Version(), 0), 0u) << text;
}

}  // namespace
}  // namespace quenta
