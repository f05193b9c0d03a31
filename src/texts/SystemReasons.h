#pragma once

#include <string>
#include <string_view>

namespace kpw::texts {

// The reason the system gives for a failed file operation, in the program's
// language for the errors a user meets (a missing folder, no permission, a
// full disk, ...); any other error as the system words it.
std::string SystemReason(int error, int language);

// The same for a reason that arrives as the system's text only (Qt's file
// classes keep the text, not the number): a text that is the system's
// wording of one of those errors, in the C locale's English or the locale in
// force, comes in the program's language; any other text is kept.
std::string SystemReasonOfText(std::string_view systemText, int language);

}  // namespace kpw::texts
