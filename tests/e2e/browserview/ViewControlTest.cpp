// Script dialogs, what pages may ask for, and the life of views and profile.
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <functional>

#include "BrowserViewHarness.h"

namespace kpw::test {
namespace {

// Counts the message boxes that come up, and closes each.
class DialogWatcher {
public:
    DialogWatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible() && !seen_.contains(box)) {
                    seen_.append(box);
                    box->done(QMessageBox::Ok);
                }
            }
        });
        timer_.start(20);
    }
    qsizetype Shown() const { return seen_.size(); }

private:
    QTimer timer_;
    QList<QWidget*> seen_;
};

TEST_F(BrowserViewTest, SilentSuppressesScriptDialogs) {
    site.Add("/dialogs", R"(<html><body><script>alert('hello');
        document.write('confirm=' + confirm('sure?') + ' prompt=' + prompt('name?', 'guess'));
        </script></body></html>)");
    DialogWatcher dialogs;
    view->SetSilent(true);
    EXPECT_EQ(Text(Load("/dialogs")), "confirm=true prompt=null");  // confirms go on
    EXPECT_EQ(dialogs.Shown(), 0);
}

TEST_F(BrowserViewTest, NotSilentShowsScriptDialogs) {
    site.Add("/alert", "<html><body><script>alert('hello')</script>shown</body></html>");
    DialogWatcher dialogs;
    view->SetSilent(false);
    EXPECT_EQ(Text(Load("/alert")), "shown");
    EXPECT_EQ(dialogs.Shown(), 1);
}

TEST_F(BrowserViewTest, PagesGetNoWindowsAndNoPermissions) {
    site.Add("/asks", R"(<html><body><script>
        document.title = 'window=' + (window.open('/next') === null);
        Notification.requestPermission().then(answer => { document.title += ' ' + answer; });
        </script></body></html>)");
    Load("/asks");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return view->Page()->title() == "window=true denied"; }, Deadline))
        << view->Page()->title().toStdString();
    EXPECT_EQ(site.Hits("/next"), 0);
}

void ExpectEveryCallThrows(BrowserView& view) {
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"Navigate2", [&] { view.Navigate2("http://127.0.0.1:9/", NavHyperlink); }},
        {"GoBack", [&] { view.GoBack(); }},
        {"Refresh", [&] { view.Refresh(); }},
        {"Stop", [&] { view.Stop(); }},
        {"LocationURL", [&] { (void)view.LocationURL(); }},
        {"SetSilent", [&] { view.SetSilent(true); }},
    };
    for (const auto& [name, call] : calls) {
        EXPECT_THROW(call(), BrowserError) << name;
    }
}

TEST_F(BrowserViewTest, CallsThrowOnceTheWidgetIsDeleted) {
    Load("/next");
    delete view->Widget();
    EXPECT_EQ(view->Widget(), nullptr);
    ExpectEveryCallThrows(*view);
}

TEST_F(BrowserViewTest, ProfileClosedFirstClosesItsPagesBeforeItself) {
    Load("/next");
    profile.reset();
    EXPECT_EQ(view->Page(), nullptr);
    ExpectEveryCallThrows(*view);
}

}  // namespace
}  // namespace kpw::test
