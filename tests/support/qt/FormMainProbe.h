#pragma once

// What the tests read of the main window beyond MainWindowPort: the
// session's logic and record, and the controls by role.
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "app/MainSession.h"
#include "browsing/MainWindowPort.h"
#include "browsing/OverviewSheet.h"
#include "ui/OverviewSheetView.h"
#include "ui/UnitMain.h"
#include "webengine/ThumbnailFetcher.h"

namespace kpw {

class FormMainProbe {
public:
    explicit FormMainProbe(const TFormMain& form) : form_(form) {}

    Navigator& Logic() const { return form_.session_.Logic(); }
    PhotoActions& Photos() const { return form_.session_.Photos(); }
    Settings& CurrentSettings() const { return form_.session_.CurrentSettings(); }
    QWidget* ControlWidget(Control control) const { return form_.ControlWidget(control); }
    QSpinBox* PageIndexField() const { return form_.spinEditPageIndex_; }
    QTimer* NavigateTimer() const { return form_.timerNavigate_; }
    QString MemoLines() const { return form_.memoText_->toPlainText(); }
    QString StatusText() const { return form_.statusBar_->currentMessage(); }
    const QString& ApplicationTitle() const { return form_.applicationTitle_; }
    int BeepCount() const { return form_.beeps_; }
    OverviewSheet& Sheet() const { return form_.session_.Sheet(); }
    OverviewSheetView* SheetView() const { return form_.sheetView_; }
    ThumbnailFetcher& Thumbnails() const { return *form_.thumbnails_; }

private:
    const TFormMain& form_;
};

inline FormMainProbe Probe(const TFormMain& form) {
    return FormMainProbe(form);
}

}  // namespace kpw
