#pragma once

// The main window on a temporary program and settings folder, with recording
// browser views; shared by the window's wiring tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSpinBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FormMainProbe.h"
#include "RecordingBrowserView.h"
#include "app/MainSession.h"
#include "browsing/MainWindowPort.h"
#include "ui/UnitMain.h"

namespace kpw {

class MainWindowHarness : public ::testing::Test {
protected:
    // The program lies in Dir()/bin; its settings below Dir()/appdata. Waits
    // until the window is active, so keys and focus behave as on a desktop.
    std::unique_ptr<TFormMain> Start() {
        auto visible = std::make_unique<RecordingBrowserView>();
        auto hidden = std::make_unique<RecordingBrowserView>();
        visible_ = visible.get();
        hidden_ = hidden.get();
        QDir().mkpath(BinDir());
        // Each window its own session, kept until the test's windows are gone.
        sessions_.push_back(std::make_unique<MainSession>(Paths()));
        auto form =
            std::make_unique<TFormMain>(*sessions_.back(), std::move(visible), std::move(hidden));
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }

    QString BinDir() const { return dir_.filePath(QStringLiteral("bin")); }

    FormMainPaths Paths() const {
        return {(BinDir() + QStringLiteral("/kelvaro-photo-wizard")).toStdString(),
                dir_.filePath(QStringLiteral("appdata")).toStdString()};
    }

    QString IniPath() const {
        return dir_.filePath(
            QStringLiteral("appdata/Zentrafold/kelvaro-photo-wizard/kelvaro-photo-wizard.ini"));
    }

    // The lines of an INI file, written with CR LF as the program's files are.
    void WriteIni(const QStringList& lines) {
        QDir().mkpath(QFileInfo(IniPath()).absolutePath());
        QFile file(IniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    }

    QByteArray ReadIni() const {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The visible view finishes the page it was sent to; the window goes idle.
    void FinishLoad() { visible_->Complete(); }

    // Runs script on the next modal window (a dialog, a message box) from
    // inside the event loop that window runs. A window the script leaves open
    // is rejected, so a failing test cannot hang.
    void WhenModal(const std::function<void(QWidget*)>& script) {
        auto* poll = new QTimer(&scope_);
        const QDeadlineTimer deadline(10000);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, deadline, script] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                if (deadline.hasExpired()) {
                    ADD_FAILURE() << "no modal window opened";
                    poll->deleteLater();
                }
                return;
            }
            poll->stop();
            poll->deleteLater();
            script(modal);
            if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
                dialog->reject();
        });
        poll->start(10);
    }

    // Where the keyboard goes: the focused control, else the active window.
    static QWidget* Keyboard(TFormMain& form) {
        QWidget* focused = QApplication::focusWidget();
        return focused ? focused : &form;
    }

    // Where the keyboard goes while a drop-down is open: into the popup.
    static QWidget* PopupKeyboard(QWidget* list) {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup) return list;
        return popup->focusWidget() ? popup->focusWidget() : popup;
    }

    static QToolButton* Tool(const TFormMain& form, Control control) {
        return qobject_cast<QToolButton*>(Probe(form).ControlWidget(control));
    }

    // Addresses of the default templates.
    static std::string Medium(int index) {
        return "http://www.kelvaro.example/photos/medium/" + std::to_string(index) + ".jpg";
    }
    static std::string Info(int index) {
        return "http://www.kelvaro.example/photo/" + std::to_string(index);
    }
    static std::string User(int index) {
        return "http://www.kelvaro.example/user/" + std::to_string(index);
    }

    QTemporaryDir dir_;
    std::vector<std::unique_ptr<MainSession>> sessions_;
    QObject scope_;
    RecordingBrowserView* visible_ = nullptr;
    RecordingBrowserView* hidden_ = nullptr;
};

}  // namespace kpw
