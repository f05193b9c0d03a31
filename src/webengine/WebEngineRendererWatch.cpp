// The view's hung-renderer watch: it asks the page's renderer a trivial
// question when the user waits for it or a load goes silent, ends a renderer
// that does not answer, and lets the step asked for go on in a fresh one.
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <algorithm>

#include "platform/Platform.h"
#include "webengine/Logging.h"
#include "webengine/ViewSupport.h"
#include "webengine/WebEngineBrowserView.h"
#include "webengine/WebEnginePage.h"

namespace kpw {

using view::Encoded;
using view::Now;

namespace {

RendererExit ExitOf(int terminationStatus) {
    switch (terminationStatus) {
        case QWebEnginePage::NormalTerminationStatus:
            return RendererExit::Normal;
        case QWebEnginePage::CrashedTerminationStatus:
            return RendererExit::Crashed;
        case QWebEnginePage::KilledTerminationStatus:
            return RendererExit::Killed;
        default:
            return RendererExit::Abnormal;
    }
}

}  // namespace

// The page's loads say why the renderer ended and what becomes of the load
// it held: the program's load that had not reached the page goes on in a
// fresh renderer, any other ends without content.
void WebEngineBrowserView::OnRenderProcessTerminated(int terminationStatus, int exitCode) {
    rendererWatch_.RendererGone();
    ArmRendererCheck();
    if (!page_) return;
    Carry(loads_.RendererGone(ExitOf(terminationStatus), exitCode, Encoded(page_->url())));
}

// The status bar keeps it until the next load; the log has it for good.
void WebEngineBrowserView::ReportRendererEnd(const RendererEnd& end) {
    const QString line = QString::fromStdString(RendererEndText(end, language_));
    lastEnd_.reset();
    SetLoadStateText(line);
    EmitContained([&] { emit PageNotice(line); });
}

void WebEngineBrowserView::ArmRendererCheck() {
    const std::optional<RendererWatch::Ms> next = rendererWatch_.NextCheck();
    if (!next) {
        rendererTimer_.stop();
        return;
    }
    rendererTimer_.start(std::max(RendererWatch::Ms{0}, *next - Now()));
}

// A renderer that answers no trivial question within its time is hung: it is
// ended (the view tells so once it is gone), and the next load gets a fresh
// renderer.
void WebEngineBrowserView::CheckRenderer() {
    if (!page_) return;
    switch (rendererWatch_.Check(Now())) {
        case RendererWatch::Action::None:
            break;
        case RendererWatch::Action::SendProbe: {
            const QPointer<WebEngineBrowserView> self(this);
            const std::uint64_t probe = rendererWatch_.ProbeId();
            page_->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                                 [self, probe](const QVariant&) {
                                     if (!self) return;
                                     self->rendererWatch_.ProbeAnswered(probe, Now());
                                     self->ArmRendererCheck();
                                 });
            break;
        }
        case RendererWatch::Action::EndRenderer:
            if (platform::EndProcess(page_->renderProcessPid())) loads_.EndingRenderer();
            break;
    }
    ArmRendererCheck();
}

}  // namespace kpw
