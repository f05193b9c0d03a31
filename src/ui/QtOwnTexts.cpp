#include "ui/QtOwnTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include "texts/Text.h"

namespace kpw {

namespace {

// The one translator of Qt's texts, the application's child, and the file
// it was loaded from.
struct InstalledTranslation {
    QPointer<QTranslator> Translator;
    QString File;
};

InstalledTranslation& Installed() {
    static InstalledTranslation installed;
    return installed;
}

// The code of Qt's translation file of a language; none for English, which
// is what Qt speaks by itself.
QString QtLanguageCode(int language) {
    return language == texts::German ? QStringLiteral("de") : QString();
}

}  // namespace

QString QtOwnTexts::TranslationsFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool QtOwnTexts::Use(int language, const QString& folder) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return false;
    InstalledTranslation& installed = Installed();
    const QString code = QtLanguageCode(texts::LanguageIndex(language));
    const QString wanted = code.isEmpty() ? QString() : folder + QStringLiteral("/qtbase_") + code;
    if (installed.Translator && installed.File == wanted) return true;

    // The old language goes even when the new one cannot be had: English
    // is better than the language the user has just left.
    delete installed.Translator;  // leaves the application's translators as it goes
    installed.File.clear();
    if (wanted.isEmpty()) return true;
    auto* translator = new QTranslator(application);
    if (!translator->load(wanted)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = {translator, wanted};
    return true;
}

}  // namespace kpw
