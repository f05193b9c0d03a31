#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace kpw {

// Where the logic reports the failures it swallows on purpose (a refused
// navigation, an unreadable page), so that a bug report can say why a view
// call failed. Nothing is reported until the program or a test installs a
// sink; the program routes it into its logging category.
using DiagnosticSink = std::function<void(const std::string& message)>;

// Installs the sink; an empty one silences the reports again.
void SetDiagnosticSink(DiagnosticSink sink);

// "<what>: <error>" to the sink, if there is one.
void ReportSwallowed(std::string_view what, const std::exception& error);

class BrowserView;
// The view's address, or nothing (reported) when it cannot be read.
std::string AddressOrNothing(const BrowserView& view);

}  // namespace kpw
