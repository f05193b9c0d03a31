// Qt's own texts (its file dialogs, its standard buttons) in the language in
// force, and what happens without Qt's translation files.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "texts/Text.h"
#include "ui/QtOwnTexts.h"

namespace kpw {
namespace {

QString SaveButton() {
    return QCoreApplication::translate("QFileDialog", "&Save");
}
QString LookIn() {
    return QCoreApplication::translate("QFileDialog", "Look in:");
}

class QtOwnTextsTest : public ::testing::Test {
protected:
    // Qt's translations are a package the program depends on; without them
    // every case here would pass on English alone.
    void SetUp() override {
        ASSERT_TRUE(
            QFile::exists(QtOwnTexts::TranslationsFolder() + QStringLiteral("/qtbase_de.qm")))
            << "Qt's translations (qt6-translations-l10n) are not installed";
        QtOwnTexts::Use(texts::English);
    }
    void TearDown() override { QtOwnTexts::Use(texts::English); }
};

TEST_F(QtOwnTextsTest, GermanPutsQtsDialogTextsInGermanAndEnglishTakesThemBack) {
    ASSERT_EQ(LookIn(), QStringLiteral("Look in:"));
    ASSERT_TRUE(QtOwnTexts::Use(texts::German));
    EXPECT_EQ(LookIn(), QStringLiteral("Suchen in:"));
    EXPECT_EQ(SaveButton(), QStringLiteral("S&peichern"));
    // Put again, the language stays in force, once.
    ASSERT_TRUE(QtOwnTexts::Use(texts::German));
    EXPECT_EQ(LookIn(), QStringLiteral("Suchen in:"));
    ASSERT_TRUE(QtOwnTexts::Use(texts::English));
    EXPECT_EQ(LookIn(), QStringLiteral("Look in:"));
    // Any other stored language is English.
    QtOwnTexts::Use(texts::German);
    QtOwnTexts::Use(5);
    EXPECT_EQ(LookIn(), QStringLiteral("Look in:"));
}

TEST_F(QtOwnTextsTest, WithoutTheTranslationFileQtStaysEnglish) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    // German in force before, from Qt's own folder; the language the user
    // leaves does not stay behind when the new one cannot be had.
    ASSERT_TRUE(QtOwnTexts::Use(texts::German));
    EXPECT_FALSE(QtOwnTexts::Use(texts::German, empty.path()));
    EXPECT_EQ(LookIn(), QStringLiteral("Look in:"));
    EXPECT_FALSE(QtOwnTexts::Use(texts::German, empty.path() + QStringLiteral("/absent")));
    EXPECT_EQ(SaveButton(), QStringLiteral("&Save"));
}

}  // namespace
}  // namespace kpw
