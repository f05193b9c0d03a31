#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "MainWindowHarness.h"
#include "app/KeepFiles.h"
#include "texts/Texts.h"
#include "ui/RangeDialog.h"
#include "ui/UnitMain.h"

namespace kpw {
namespace {

QLineEdit* Field(const QDialog& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
}

// Each fault of the fields is told in the dialog, which stays open on it;
// a sound range closes it with the order asked for.
TEST(RangeDialogTest, FaultsAreToldInTheDialogUntilTheFieldsMakeARange) {
    QTemporaryDir folder;
    KeepFiles files;
    RangeDialog dialog({.From = 7, .To = 106, .Size = 2, .Folder = "/nowhere/at/all"},
                       texts::German,
                       [&files](const std::string& path) { return files.StateOf(path); });
    dialog.show();
    EXPECT_EQ(Field(dialog, "From")->text(), "7");
    EXPECT_EQ(Field(dialog, "To")->text(), "106");

    dialog.accept();
    EXPECT_FALSE(dialog.result() == QDialog::Accepted);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Message(), "Der Ordner /nowhere/at/all existiert nicht.");

    Field(dialog, "Folder")->setText(folder.path());
    Field(dialog, "To")->setText("3");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Message(), "Die erste Nummer (7) liegt hinter der letzten (3).");

    Field(dialog, "To")->setText("20");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Order().From, 7);
    EXPECT_EQ(dialog.Order().To, 20);
    EXPECT_EQ(dialog.Order().Size, 2);
    EXPECT_EQ(dialog.Order().Folder, folder.path().toStdString());
}

using RangeWindow = MainWindowHarness;

// Ctrl+J asks for a range from the photo index on, a hundred photos long.
TEST_F(RangeWindow, CtrlJAsksForAHundredPhotosFromThePhotoIndexOn) {
    WriteIni({"[Page]", "PhotoIndex=41"});
    auto form = Start();
    QString from;
    QString to;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<RangeDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        from = Field(*dialog, "From")->text();
        to = Field(*dialog, "To")->text();
        dialog->reject();
    });
    QTest::keyClick(form.get(), Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(from, "41");
    EXPECT_EQ(to, "140");
    EXPECT_FALSE(QApplication::activeModalWidget());
}

}  // namespace
}  // namespace kpw
