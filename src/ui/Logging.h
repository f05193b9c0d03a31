#pragma once

#include <QLoggingCategory>

namespace kpw {

// The program's one logging category, "kelvaro.photowizard". Warnings show by
// default; what the logic swallows on purpose shows as debug messages with
// QT_LOGGING_RULES="kelvaro.photowizard.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcProgram)

// Routes the logic's reports of swallowed failures into lcProgram.
void RouteLogicDiagnostics();

}  // namespace kpw
