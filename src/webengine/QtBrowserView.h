#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "browsing/BrowserView.h"

class QMenu;

Q_DECLARE_METATYPE(kpw::DocumentContent)

namespace kpw {

// A BrowserView with a widget to place and its events as Qt signals. The
// main window works with this; the engine adapter and the tests' recording
// view implement it.
class QtBrowserView : public QObject, public BrowserView {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual QWidget* Widget() = 0;
    // The language (texts::English or texts::German) of the view's own texts:
    // its status texts, messages and context menu. Views without texts of
    // their own ignore it.
    virtual void SetLanguage(int /*language*/) {}

    // Adds the engine's own entries that apply at the last context-menu
    // request: Copy with text selected, Copy link address on a link.
    virtual void AddEngineMenuEntries(QMenu& /*menu*/) {}

signals:
    // Each main-frame navigation request; the legacy event's other arguments
    // were always the same (navHyperlink, no frame, no post data, no headers).
    void BeforeNavigate2(const QString& url);
    void DownloadComplete();
    void DocumentComplete(const kpw::DocumentContent& content);
    void StatusTextChange(const QString& text);
    // The answer to ReadBodyText: the text, readable false when it could not
    // be read.
    void BodyTextRead(bool readable, const QString& text);
    // The user asked for the view's context menu at this screen position;
    // the window shows its own.
    void ContextMenuRequested(const QPoint& globalPos);
    // A line for the log: what the view refused or ended of a page.
    void PageNotice(const QString& line);
};

}  // namespace kpw
