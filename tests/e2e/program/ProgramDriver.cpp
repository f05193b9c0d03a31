#include "ProgramDriver.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <stdexcept>

#include "app/MainSession.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"
#include "webengine/BrowserProfile.h"
#include "webengine/PhotoFetcher.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {

namespace {

constexpr const char* ExeStem = "kelvaro-photo-wizard";
constexpr int PollIntervalMs = 5;

}  // namespace

std::string ProgramIniText(const ProgramStart& start) {
    const std::string& base = start.BaseURL;
    const auto line = [](const std::string& key, const std::string& value) {
        return key + "=" + value + "\r\n";
    };
    const auto number = [&](const std::string& key, int value) {
        return line(key, std::to_string(value));
    };
    return "[General]\r\n" + number("NavigateDelayTime", start.NavigateDelayTime) +
           number("Language", start.Language) + "\r\n" + "[URL]\r\n" +
           number("AutoSkipURL", start.AutoSkipURL ? 1 : 0) +
           number("MaxSkippedURLCount", start.MaxSkippedURLCount) +
           line("TemplateURL11", base + "/photos/thumbnail/*.jpg") +
           line("TemplateURL12", base + "/photos/small/*.jpg") +
           line("TemplateURL13", base + "/photos/medium/*.jpg") +
           line("TemplateURL14", start.StaticBaseURL + "/photos/original/*.jpg") +
           line("TemplateURL20", base + "/photo/*") + line("TemplateURL30", base + "/user/*") +
           number("URLIndex", start.URLIndex) + number("PhotoSize", start.PhotoSize) +
           (start.MinRequestInterval ? number("MinRequestInterval", *start.MinRequestInterval)
                                     : "") +
           (start.PreloadDepth ? number("PreloadDepth", *start.PreloadDepth) : "") +
           start.MoreURLLines + "\r\n" + "[Page]\r\n" + number("PhotoIndex", start.PhotoIndex) +
           number("UserIndex", start.UserIndex) + "\r\n" + "[Photo]\r\n" +
           line("SaveFolder", start.SaveFolder) +
           number("SlideshowInterval", start.SlideshowInterval) + "\r\n";
}

int ClosedLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        throw std::runtime_error("no free loopback port");
    }
    return probe.serverPort();
}

bool SiteHasRequest(const DemoSite& site, const std::string& logText) {
    const std::vector<std::string> lines = site.LogLines();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(logText) != std::string::npos;
    });
}

std::string MainHostRequest(const std::string& path, int status) {
    return "GET 127.0.0.1 " + path + " " + std::to_string(status);
}

bool WaitForSiteRequest(const DemoSite& site, const std::string& logText, int deadlineMs) {
    return ProgramDriver::WaitFor([&] { return SiteHasRequest(site, logText); }, deadlineMs);
}

ProgramDriver::ProgramDriver() {
    if (!dir_.isValid()) {
        throw std::runtime_error("no temporary folder for the program");
    }
}

ProgramDriver::~ProgramDriver() {
    // The window owns the views; their pages go before the profile.
    form_.reset();
    profile_.reset();
}

void ProgramDriver::Start(const ProgramStart& start) {
    const QString appData = dir_.filePath(QStringLiteral("appdata"));
    const QString stem = QString::fromLatin1(ExeStem);
    const QString iniPath = appData + "/Zentrafold/" + stem + "/" + stem + ".ini";
    QDir().mkpath(QFileInfo(iniPath).absolutePath());
    QDir().mkpath(dir_.filePath(QStringLiteral("bin")));
    QFile ini(iniPath);
    if (!ini.open(QIODevice::WriteOnly)) {
        throw std::runtime_error("cannot write the settings file");
    }
    ini.write(QByteArray::fromStdString(ProgramIniText(start)));
    ini.close();
    // A folder where the archive would be is no archive.
    if (start.WithoutArchive)
        QDir().mkpath(appData + "/Zentrafold/" + stem + "/" + stem + ".archive");

    profile_ = std::make_unique<BrowserProfile>();
    std::unique_ptr<WebEngineBrowserView> visible = profile_->CreateView();
    std::unique_ptr<WebEngineBrowserView> hidden = profile_->CreateHiddenView();
    visible_ = visible.get();
    hidden_ = hidden.get();
    std::vector<std::unique_ptr<QtBrowserView>> preloadPages;
    for (int i = 0; i < start.PreloadPages; ++i) {
        std::unique_ptr<WebEngineBrowserView> page = profile_->CreateOffScreenPage();
        preloadPages_.push_back(page.get());
        preloadPages.push_back(std::move(page));
    }
    // Connected before the window's own handlers, so the address is the one
    // the document came with, not what a handler navigated to afterwards.
    QObject::connect(visible_, &QtBrowserView::DocumentComplete,
                     [this](const DocumentContent& content) {
                         visibleDocuments_.push_back(
                             {visible_->LocationURL(), content, std::chrono::steady_clock::now()});
                     });
    QObject::connect(hidden_, &QtBrowserView::DocumentComplete,
                     [this](const DocumentContent& content) {
                         hiddenDocuments_.push_back(
                             {hidden_->LocationURL(), content, std::chrono::steady_clock::now()});
                     });

    std::unique_ptr<PhotoFetcher> fetcher = profile_->CreatePhotoFetcher(*visible);
    form_.reset();
    session_ = std::make_unique<MainSession>(FormMainPaths{
        dir_.filePath(QStringLiteral("bin/") + stem).toStdString(), appData.toStdString()});
    form_ = std::make_unique<TFormMain>(*session_, std::move(visible), std::move(hidden),
                                        std::move(preloadPages), std::move(fetcher));
    // After the window's handler: the document has been analysed.
    QObject::connect(visible_, &QtBrowserView::DocumentComplete, form_.get(),
                     [this] { ++handledDocuments_; });
    form_->activateWindow();
    if (!QTest::qWaitForWindowActive(form_.get(), E2EDeadlineMs)) {
        throw std::runtime_error("the main window did not become active");
    }
}

Navigator& ProgramDriver::Logic() const {
    return Probe(*form_).Logic();
}

QToolButton* ProgramDriver::Button(Control control) const {
    return qobject_cast<QToolButton*>(Probe(*form_).ControlWidget(control));
}

QString ProgramDriver::IndexLabel() const {
    return qobject_cast<QLabel*>(Probe(*form_).ControlWidget(Control::LabelPageIndex))->text();
}

bool ProgramDriver::IsLoading() const {
    return Button(Control::Stop)->isEnabled() && !Probe(*form_).PageIndexField()->isEnabled();
}

bool ProgramDriver::IsIdle() const {
    return !Button(Control::Stop)->isEnabled() && Probe(*form_).PageIndexField()->isEnabled();
}

// A real event loop, not QTest::qWaitFor: that one sleeps between rounds of
// events, and the engine, which passes many messages through the UI thread
// for every load, then takes seconds for what it does in milliseconds.
bool ProgramDriver::WaitFor(const std::function<bool()>& predicate, int deadlineMs) {
    if (predicate()) {
        return true;
    }
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (predicate()) {
            loop.quit();
        }
    });
    poll.start(PollIntervalMs);
    QTimer::singleShot(deadlineMs, &loop, &QEventLoop::quit);
    loop.exec();
    return predicate();
}

bool ProgramDriver::WaitForSettledLoad(std::size_t afterDocuments, int deadlineMs) {
    return WaitFor(
        [&] {
            return visibleDocuments_.size() > afterDocuments &&
                   handledDocuments_ == visibleDocuments_.size() &&
                   visibleDocuments_.back().Location == Logic().State().LastNavigatedURL &&
                   !Logic().Verdicts().Pending() && IsIdle();
        },
        deadlineMs);
}

bool ProgramDriver::WaitForHiddenDocument(const std::string& url,
                                          std::chrono::steady_clock::time_point since,
                                          int deadlineMs) {
    return WaitFor(
        [&] {
            return std::any_of(hiddenDocuments_.begin(), hiddenDocuments_.end(),
                               [&](const Document& document) {
                                   return document.Location == url && document.Arrived > since;
                               });
        },
        deadlineMs);
}

QWidget* ProgramDriver::IndexFieldWithFocus() const {
    QWidget* focused = QApplication::focusWidget();
    QSpinBox* field = Probe(*form_).PageIndexField();
    return focused && (focused == field || field->isAncestorOf(focused)) ? focused : nullptr;
}

bool ProgramDriver::TypeIntoIndexField(const QString& text) {
    QWidget* target = IndexFieldWithFocus();
    if (target == nullptr) {
        return false;
    }
    SendKey(target, Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"));
    for (const QChar c : text) {
        const int key = c.isDigit() ? Qt::Key_0 + c.digitValue() : c.toUpper().unicode();
        SendKey(target, key, Qt::NoModifier, QString(c));
    }
    return true;
}

bool ProgramDriver::PressKeyInIndexField(Qt::Key key) {
    QWidget* target = IndexFieldWithFocus();
    if (target == nullptr) {
        return false;
    }
    SendKey(target, key, Qt::NoModifier,
            key == Qt::Key_Return || key == Qt::Key_Enter ? QStringLiteral("\r") : QString());
    return true;
}

void ProgramDriver::PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    QString text;
    if ((modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        text = QChar(key - Qt::Key_A + 1);
    SendKey(target ? target : form_.get(), key, modifiers, text);
}

void ProgramDriver::TurnWheelOverVisibleView(int angleDelta) {
    QWidget* target = visible_->Widget();
    const QPointF position(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(position, target->mapToGlobal(position), QPoint(), QPoint(0, angleDelta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    wheel.setTimestamp(++inputTimestamp_);
    QApplication::sendEvent(target, &wheel);
}

// Like the window system, every event gets a time stamp of its own; the
// window tells a propagated event from a new one by it.
void ProgramDriver::SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers,
                            const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    press.setTimestamp(++inputTimestamp_);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    release.setTimestamp(++inputTimestamp_);
    QApplication::sendEvent(target, &release);
}

}  // namespace kpw
