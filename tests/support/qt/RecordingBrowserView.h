#pragma once

#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <string>
#include <vector>

#include "webengine/QtBrowserView.h"

namespace kpw {

// A browser view without an engine: it records what the window asks of it
// and lets the test raise its events.
class RecordingBrowserView : public QtBrowserView {
public:
    RecordingBrowserView() : widget_(new QWidget) {}
    ~RecordingBrowserView() override { delete widget_; }

    QWidget* Widget() override { return widget_; }
    void Navigate2(const std::string& url, int flags) override {
        navigations.push_back(url);
        lastFlags = flags;
        location = url;
    }
    void GoBack() override { ++goBackCount; }
    void Refresh() override { ++refreshCount; }
    void Stop() override { ++stopCount; }
    std::string LocationURL() const override { return location; }
    void SetSilent(bool value) override { silent = value; }
    void ReadBodyText() override { ++textReads; }
    // The engine's entries are the test's own, as many as it names.
    void AddEngineMenuEntries(QMenu& menu) override {
        for (const QString& text : engineEntries) menu.addAction(text);
    }

    // Finishes the current load as the engine would.
    void Complete(std::string markup = "<BODY></BODY>", std::string text = "") {
        emit DownloadComplete();
        DocumentContent content;
        content.BodyMarkup = std::move(markup);
        content.BodyText = std::move(text);
        emit DocumentComplete(content);
    }

    std::vector<std::string> navigations;
    std::string location;
    int lastFlags = 0;
    int goBackCount = 0;
    int refreshCount = 0;
    int stopCount = 0;
    int textReads = 0;
    bool silent = false;
    QStringList engineEntries;

private:
    QPointer<QWidget> widget_;
};

}  // namespace kpw
