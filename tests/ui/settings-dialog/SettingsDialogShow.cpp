// Shows the settings dialog over a stand-in main window and photographs the
// whole screen with ImageMagick's import, for judging the layout by eye:
//   xvfb-run -a -s '-screen 0 1280x1024x24' settings_dialog_show <0|1> <plain|drop|hint> out.png
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <cstdio>

#include "settings/Settings.h"
#include "ui/SettingsControls.h"
#include "ui/UnitSettings.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <language 0|1> <plain|drop|hint> <out.png>\n", argv[0]);
        return 2;
    }
    const int language = QString(argv[1]).toInt();
    const QString mode = argv[2];
    const QString output = argv[3];

    QWidget mainWindow;
    mainWindow.setWindowTitle(" Kelvaro Photo Wizard");
    mainWindow.setGeometry(24, 24, 574, 600);
    mainWindow.show();

    kpw::TFormSettings dialog(&mainWindow);
    kpw::Settings settings;
    settings.Language = static_cast<uint8_t>(language);

    int status = 1;
    QTimer::singleShot(0, &dialog, [&] {
        if (!QTest::qWaitForWindowExposed(&dialog)) {
            dialog.reject();
            return;
        }
        auto* list = dialog.findChild<QComboBox*>("ComboBoxLanguage");
        if (mode == "drop") {
            list->showPopup();
            if (!QTest::qWaitForWindowExposed(list->view()->window())) {
                std::fprintf(stderr, "the list did not drop down\n");
            }
        } else if (mode == "hint") {
            QWidget* field = dialog.findChild<QWidget*>("SpinEditNavigateDelayTime");
            QToolTip::showText(field->mapToGlobal(QPoint(20, 24)), field->toolTip(), field);
        }
        // Let every window paint before the picture is taken.
        QTest::qWait(300);
        status = QProcess::execute("import", {"-window", "root", output});
        if (mode == "drop") list->hidePopup();
        dialog.reject();
    });
    dialog.ExecuteFormSettings(settings);
    return status;
}
