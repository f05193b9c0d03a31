#include "browsing/Diagnostics.h"

#include <utility>

#include "browsing/BrowserView.h"

namespace kpw {

namespace {

DiagnosticSink& Sink() {
    static DiagnosticSink sink;
    return sink;
}

}  // namespace

void SetDiagnosticSink(DiagnosticSink sink) {
    Sink() = std::move(sink);
}

void ReportSwallowed(std::string_view what, const std::exception& error) {
    if (!Sink()) return;
    std::string message(what);
    message += ": ";
    message += error.what();
    Sink()(message);
}

std::string AddressOrNothing(const BrowserView& view) {
    try {
        return view.LocationURL();
    } catch (const std::exception& error) {
        ReportSwallowed("reading a view's address", error);
        return {};
    }
}

}  // namespace kpw
