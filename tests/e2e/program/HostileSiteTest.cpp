// A site whose pages try to hold the window: the window answers the next
// step within seconds whatever the page on view did.
#include <gtest/gtest.h>
#include <httplib.h>

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <string>
#include <thread>

#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"

namespace kpw {
namespace {

class HostileSite : public ::testing::Test {
protected:
    HostileSite() {
        server_.Get(
            R"(/photo/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
                const std::string index = request.matches[1];
                std::string body = "<html><body><p>photo " + index + "</p>";
                if (index == "1001") {
                    // Spins for ever once loaded.
                    body +=
                        "<script>addEventListener('load', () => setTimeout(() => { for (;;) {} }, "
                        "100));"
                        "</script>";
                } else if (index == "1003") {
                    // Sends itself to ever new addresses of some 1.9 MB.
                    body +=
                        "<script>let n = 0; setInterval(() => { location.href = '/photo/1003?' + "
                        "(n++) + 'x'.repeat(1900000); }, 200);</script>";
                }
                response.set_content(body + "</body></html>", "text/html; charset=utf-8");
            });
        port_ = server_.bind_to_any_port("127.0.0.1");
        serving_ = std::thread([this] { server_.listen_after_bind(); });
        base_ = "http://127.0.0.1:" + std::to_string(port_);
    }
    ~HostileSite() override {
        server_.stop();
        serving_.join();
    }

    // Steps up by one with the Up key and waits until the page has settled.
    bool StepUp(ProgramDriver& program) {
        const std::size_t before = program.HandledDocuments();
        if (!program.PressKeyInIndexField(Qt::Key_Up)) return false;
        return program.WaitForSettledLoad(before);
    }

    httplib::Server server_;
    int port_ = 0;
    std::thread serving_;
    std::string base_;
};

TEST_F(HostileSite, AStepLeavesAPageCaughtInAnEndlessLoop) {
    ProgramDriver program;
    program.Start({.BaseURL = base_, .StaticBaseURL = base_, .URLIndex = 2, .PhotoIndex = 1000});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    ASSERT_TRUE(StepUp(program));
    ASSERT_EQ(program.Logic().State().CurrentIndex, 1001);
    QTest::qWait(500);  // the page's loop has begun
    ASSERT_TRUE(StepUp(program));
    EXPECT_EQ(program.Logic().State().CurrentIndex, 1002);
    EXPECT_EQ(program.VisibleDocuments().back().Location, base_ + "/photo/1002");
    EXPECT_EQ(program.VisibleDocuments().back().Content.BodyText.value_or(""), "photo 1002");
}

TEST_F(HostileSite, APageSendingItselfToHugeAddressesKeepsTheWindowAndItsLogResponsive) {
    ProgramDriver program;
    program.Start({.BaseURL = base_, .StaticBaseURL = base_, .URLIndex = 2, .PhotoIndex = 1002});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    program.PressKey(Qt::Key_D, Qt::ControlModifier);  // the log on screen
    ASSERT_TRUE(StepUp(program));
    // Let the page send itself away a few times.
    QTest::qWait(1500);
    // The window's own timer still runs on time, give or take a busy turn.
    const auto asked = std::chrono::steady_clock::now();
    bool ran = false;
    QTimer::singleShot(10, [&] { ran = true; });
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return ran; }, 5000));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(3));
    // Every log line is cut, and the next step shows its page.
    const auto* log = program.Form().findChild<QPlainTextEdit*>();
    ASSERT_NE(log, nullptr);
    for (QTextBlock block = log->document()->begin(); block.isValid(); block = block.next())
        EXPECT_LE(block.text().size(), 2200) << block.text().left(80).toStdString();
    ASSERT_TRUE(program.TypeIntoIndexField(QStringLiteral("1004")));
    const std::size_t before = program.HandledDocuments();
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    EXPECT_EQ(program.Logic().State().CurrentIndex, 1004);
}

}  // namespace
}  // namespace kpw
