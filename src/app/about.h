#pragma once

#include <string>
#include <string_view>

// The texts and links of the quality feedback form and the about box. The windows only show
// these and hand the links to the desktop.
namespace quenta {

inline constexpr const char* kProductName = "Tarvik - Quenta";
// The maker's addresses, set for each installation here.
inline constexpr const char* kMakerWebAddress = "https://www.tarvik.co.za";
inline constexpr const char* kMakerMailAddress = "info@tarvik.co.za";

inline constexpr const char* kFeedbackSubject = "Problem/Comment/Suggestion";
// Shown when the program's version cannot be read.
inline constexpr const char* kFallbackVersionText = "Version 3.x";

// Percent-encodes a header value of a mailto: link: every byte but the unreserved letters,
// digits and "-._~" becomes %XX (upper-case hex), and every line break (CR LF, a lone LF or a
// lone CR) becomes %0D%0A, so that "&", "#", "%", "+" and new lines reach the mail program as
// typed. UTF-8 text is encoded byte by byte.
std::string MailtoEncode(std::string_view value);

// "mailto:<address>?subject=<subject>&body=<text>", both values encoded.
std::string FeedbackLink(std::string_view text, std::string_view address = kMakerMailAddress);

// "mailto:<address>", the about box's mail link.
std::string MakerMailLink(std::string_view address = kMakerMailAddress);

// Hands the feedback to the mail program as a new message, or opens the maker's web site or a
// new mail to the maker. Nothing is sent by the program; false only when the desktop's handler
// could not be started, which the dialogs do not report.
bool SendFeedback(std::string_view text);
bool OpenMakerWebSite();
bool OpenMakerMail();

// "Version a.b.c.d" from a version text of one to four dot-separated whole numbers, each 0 to
// 65535 (missing parts read 0: "0.1.0" gives "Version 0.1.0.0"); "Version 3.x" for any other
// text.
std::string VersionText(std::string_view version);
// The about box's text for this program's own version.
std::string VersionText();

}  // namespace quenta
