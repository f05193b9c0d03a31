#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>

#include "texts/SystemReasons.h"
#include "texts/Text.h"

namespace kpw::texts {
namespace {

// The errors a user meets when saving; each must come in German.
constexpr int CommonErrors[] = {ENOENT, EACCES,  EPERM,        ENOSPC, EROFS, EEXIST,
                                EISDIR, ENOTDIR, ENAMETOOLONG, EDQUOT, EIO,   EMFILE};

TEST(SystemReasons, CommonErrorsComeInGermanEachInWordsOfItsOwn) {
    std::set<std::string> german;
    for (int error : CommonErrors) {
        const std::string reason = SystemReason(error, German);
        EXPECT_FALSE(reason.empty()) << error;
        EXPECT_NE(reason, std::strerror(error)) << error;
        EXPECT_TRUE(german.insert(reason).second) << "said twice: " << reason;
    }
}

TEST(SystemReasons, EnglishIsTheSystemsOwnWording) {
    // The tests run in the C locale, where the system words its reasons in
    // English; messages of earlier versions read the same.
    for (int error : CommonErrors) {
        EXPECT_EQ(SystemReason(error, English), std::strerror(error)) << error;
        // A stored language other than German is English.
        EXPECT_EQ(SystemReason(error, 7), std::strerror(error)) << error;
    }
}

TEST(SystemReasons, AnUncommonErrorComesAsTheSystemSaysIt) {
    // Copied at once: the system's text of an unknown error lives only until
    // the next such call.
    const std::string unknown = std::strerror(123456);
    for (int language : {English, German}) {
        EXPECT_EQ(SystemReason(ECONNREFUSED, language), std::strerror(ECONNREFUSED));
        EXPECT_EQ(SystemReason(123456, language), unknown);
    }
}

TEST(SystemReasons, TheSystemsTextOfACommonErrorIsTranslated) {
    for (int error : CommonErrors) {
        EXPECT_EQ(SystemReasonOfText(std::strerror(error), German), SystemReason(error, German))
            << error;
        EXPECT_EQ(SystemReasonOfText(std::strerror(error), English), std::strerror(error));
    }
    // As Qt's file classes word them.
    EXPECT_EQ(SystemReasonOfText("No such file or directory", German),
              "Datei oder Ordner nicht vorhanden");
    EXPECT_EQ(SystemReasonOfText("Permission denied", German), "Zugriff verweigert");
}

TEST(SystemReasons, OtherTextsAreKeptAsTheyAre) {
    for (const char* text : {"", "Unknown error", "Existing file /a/b is not writable",
                             "permission denied", "No such file or directory "}) {
        EXPECT_EQ(SystemReasonOfText(text, German), text);
        EXPECT_EQ(SystemReasonOfText(text, English), text);
    }
}

}  // namespace
}  // namespace kpw::texts
