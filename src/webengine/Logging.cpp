#include "webengine/Logging.h"

#include "browsing/Diagnostics.h"

namespace kpw {

Q_LOGGING_CATEGORY(lcProgram, "kelvaro.photowizard", QtInfoMsg)

void RouteLogicDiagnostics() {
    SetDiagnosticSink(
        [](const std::string& message) { qCDebug(lcProgram, "ignored: %s", message.c_str()); });
}

}  // namespace kpw
