// The view's hung-renderer watch: it asks the page's renderer a trivial
// question when the user waits for it or a load goes silent, ends a renderer
// that does not answer, and lets the step asked for go on in a fresh one.
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <algorithm>
#include <utility>

#include "platform/Platform.h"
#include "webengine/Logging.h"
#include "webengine/ViewSupport.h"
#include "webengine/WebEngineBrowserView.h"
#include "webengine/WebEnginePage.h"

namespace kpw {

using view::HasWebScheme;
using view::Now;
using view::Text;

void WebEngineBrowserView::OnRenderProcessTerminated(int terminationStatus) {
    rendererWatch_.RendererGone();
    ArmRendererCheck();
    const bool endedByUs = std::exchange(endingRenderer_, false);
    if (terminationStatus == QWebEnginePage::NormalTerminationStatus) {
        return;
    }
    // The load the program asked for after a hung page (it has not reached
    // the page yet) goes on in a fresh renderer, as if nothing had happened.
    if (endedByUs && loading_ && page_ && page_->url() != loadingUrl_ &&
        HasWebScheme(loadingUrl_)) {
        reissuedUrl_ = loadingUrl_;
        page_->LoadOwn(loadingUrl_);
        return;
    }
    // A dead renderer answers no content request and may never end its load.
    if (loading_) {
        FinishLoad(Text(Texts().PageStoppedWorking.In(language_)), false);
    } else if (contentPending_) {
        DeliverContent({});
    }
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
// ended, the view's load ends as "stopped working", and the next load gets a
// fresh renderer.
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
            if (platform::EndProcess(page_->renderProcessPid())) {
                endingRenderer_ = true;
                EmitContained([&] { emit PageNotice(Text(Texts().RendererEnded.In(language_))); });
            }
            break;
    }
    ArmRendererCheck();
}

}  // namespace kpw
