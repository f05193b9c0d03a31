#pragma once

#include <QLoggingCategory>
#include <exception>

namespace kpw {

// The program's one logging category, "kelvaro.photowizard". Warnings show by
// default; what the logic swallows on purpose shows as debug messages with
// QT_LOGGING_RULES="kelvaro.photowizard.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcProgram)

// Routes the logic's reports of swallowed failures into lcProgram.
void RouteLogicDiagnostics();

// Handlers of the window run inside the engine's callbacks; nothing they throw
// may unwind through the engine.
template <typename Emit>
inline void EmitContained(Emit&& emitSignal) {
    try {
        emitSignal();
    } catch (const std::exception& error) {
        qCWarning(lcProgram, "a browser event handler failed: %s", error.what());
    } catch (...) {
        qCWarning(lcProgram, "a browser event handler failed");
    }
}

}  // namespace kpw
