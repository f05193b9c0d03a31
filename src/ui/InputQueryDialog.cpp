#include "ui/InputQueryDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "texts/SettingsFormTexts.h"

namespace kpw {

bool ExecuteInputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                       QString& value, int language) {
    QDialog dialog(parent);
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(prompt, &dialog);
    auto* edit = new QLineEdit(value, &dialog);
    edit->setMaxLength(255);
    edit->setMinimumWidth(300);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    // Qt's own button captions are English; the settings dialog's are the
    // program's in both languages.
    const texts::SettingsFormTexts& captions = texts::SettingsForm;
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8(captions.ButtonOk.In(language)));
    buttons->button(QDialogButtonBox::Cancel)
        ->setText(QString::fromUtf8(captions.ButtonCancel.In(language)));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    dialog.setObjectName(QStringLiteral("InputQuery"));
    if (dialog.exec() != QDialog::Accepted) return false;
    value = edit->text();
    return true;
}

}  // namespace kpw
