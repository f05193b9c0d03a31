#include "ui/RangeDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "texts/Texts.h"

namespace kpw {

namespace {

QString Text(const texts::Text& text, int language) {
    return QString::fromUtf8(text.In(language));
}

}  // namespace

RangeDialog::RangeDialog(const RangeOrder& offered, int language,
                         std::function<FolderState(const std::string&)> folderState,
                         QWidget* parent)
    : QDialog(parent),
      language_(language),
      folderState_(std::move(folderState)),
      order_(offered),
      from_(new QLineEdit(QString::number(offered.From), this)),
      to_(new QLineEdit(QString::number(offered.To), this)),
      size_(new QComboBox(this)),
      folder_(new QLineEdit(QString::fromStdString(offered.Folder), this)),
      skipKept_(new QCheckBox(Text(texts::Range.SkipKept, language), this)),
      message_(new QLabel(this)) {
    const texts::RangeTexts& t = texts::Range;
    setWindowTitle(Text(t.Title, language));
    setObjectName(QStringLiteral("RangeDialog"));
    from_->setObjectName(QStringLiteral("From"));
    to_->setObjectName(QStringLiteral("To"));
    folder_->setObjectName(QStringLiteral("Folder"));
    message_->setObjectName(QStringLiteral("Message"));
    for (const texts::Text* name : {&texts::MainForm.PhotoSize1, &texts::MainForm.PhotoSize2,
                                    &texts::MainForm.PhotoSize3, &texts::MainForm.PhotoSize4})
        size_->addItem(Text(*name, language));
    size_->setCurrentIndex(std::clamp(offered.Size, 1, 4) - 1);
    skipKept_->setChecked(offered.SkipKept);

    auto* browse = new QPushButton(Text(t.Browse, language), this);
    connect(browse, &QPushButton::clicked, this, &RangeDialog::ChooseFolder);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse);

    auto* form = new QFormLayout;
    form->addRow(Text(t.From, language), from_);
    form->addRow(Text(t.To, language), to_);
    form->addRow(Text(t.Size, language), size_);
    form->addRow(Text(t.Folder, language), folderRow);
    form->addRow(QString(), skipKept_);

    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = message_->font();
    bold.setBold(true);
    message_->setFont(bold);
    message_->hide();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* keep = buttons->addButton(Text(t.Keep, language), QDialogButtonBox::AcceptRole);
    keep->setDefault(true);
    buttons->addButton(Text(t.Cancel, language), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &RangeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RangeDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    from_->selectAll();
    from_->setFocus();
}

QString RangeDialog::Message() const {
    return message_->isHidden() ? QString() : message_->text();
}

void RangeDialog::ChooseFolder() {
    const QString chosen = QFileDialog::getExistingDirectory(
        this, Text(texts::Range.Folder, language_), folder_->text());
    if (!chosen.isEmpty()) folder_->setText(chosen);
}

void RangeDialog::accept() {
    const RangeInput input{.From = from_->text().toStdString(),
                           .To = to_->text().toStdString(),
                           .Size = size_->currentIndex() + 1,
                           .Folder = folder_->text().trimmed().toStdString(),
                           .SkipKept = skipKept_->isChecked()};
    RangeOrder order = order_;
    const RangeProblem problem = ReadRangeInput(input, folderState_(input.Folder), order);
    if (problem == RangeProblem::None) {
        order_ = order;
        QDialog::accept();
        return;
    }
    message_->setText(
        QString::fromStdString(RangeProblemMessage(problem, order, language_, input)));
    message_->show();
    // The field the message is about takes the keys.
    QLineEdit* field =
        problem == RangeProblem::BadFrom || problem == RangeProblem::FromAfterTo ? from_
        : problem == RangeProblem::BadTo || problem == RangeProblem::TooLong     ? to_
                                                                                 : folder_;
    field->setFocus();
    field->selectAll();
}

}  // namespace kpw
