// The engine's own pages speak the language it was started with, as the
// program starts it in its own language; and a site that cannot be reached
// is told as such. Its own executable: the engine takes its locale once per
// process (ctest sets KPW_TEST_ENGINE_LOCALE=de for it).
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

#include "BrowserViewHarness.h"

namespace kpw::test {
namespace {

// A loopback port nobody listens on: connections to it are refused.
int RefusingPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

class EngineLocale : public BrowserViewTest {
protected:
    void SetUp() override {
        const char* locale = std::getenv("KPW_TEST_ENGINE_LOCALE");
        if (!locale || std::string(locale) != "de")
            GTEST_SKIP() << "run through ctest, which starts the engine in German";
    }
};

TEST_F(EngineLocale, ARefusedConnectionAndAnUnknownHostGiveTheEnginesGermanPage) {
    const int port = RefusingPort();
    ASSERT_GT(port, 0);
    const DocumentContent refused =
        LoadUrl("http://127.0.0.1:" + std::to_string(port) + "/photos/medium/5.jpg");
    EXPECT_TRUE(refused.SiteUnreachable);
    EXPECT_FALSE(refused.ClosedWithoutAnswer);
    EXPECT_EQ(refused.HttpStatus, 0);
    EXPECT_NE(Text(refused).find("nicht erreichbar"), std::string::npos) << Text(refused);

    // The program's own reserved host names are found nowhere.
    const DocumentContent unknown = LoadUrl("http://www.kelvaro.example/photos/medium/5.jpg");
    EXPECT_TRUE(unknown.SiteUnreachable);
    EXPECT_NE(Text(unknown).find("nicht erreichbar"), std::string::npos) << Text(unknown);

    // A site that answers, even with an error, was reached.
    site.Add("/gone", FixtureSite::Page{"<html><body>Gone</body></html>", 404});
    EXPECT_FALSE(Load("/gone").SiteUnreachable);
}

}  // namespace
}  // namespace kpw::test
