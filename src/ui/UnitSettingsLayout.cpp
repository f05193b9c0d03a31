// TFormSettings: its controls where the layout has them, their tab order and
// the font at which every text fits.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <utility>
#include <vector>

#include "browsing/KeyCodes.h"
#include "settings/SettingsTable.h"
#include "texts/SettingsFormTexts.h"
#include "texts/Texts.h"
#include "ui/FlagPictures.h"
#include "ui/Glyphs.h"
#include "ui/Hints.h"
#include "ui/SettingsControls.h"
#include "ui/UndoArrowPicture.h"
#include "ui/UnitSettings.h"

namespace kpw {

namespace {

constexpr int ClientWidth = 542;

// The "More options" group stands below the rows above; its rows are 28
// pixels apart, as the template rows are.
constexpr int MoreOptionsTop = 286;
constexpr int MoreOptionsFirstRow = 20;
constexpr int MoreOptionsRowHeight = 28;
// Its check boxes stand beside its number fields, in the column of the
// check boxes above; the save folder's row comes last.
constexpr int MoreOptionsRows = [] {
    int rows = 0;
    for (const SettingRow& row : SettingsTable)
        rows = std::max(rows, row.Dialog.MoreOptionsRow + 1);
    return rows;
}();
constexpr int MoreOptionsHeight = MoreOptionsFirstRow + MoreOptionsRowHeight * MoreOptionsRows + 2;
constexpr const SettingRow& SaveFolderSetting = SettingNamed("SaveFolder");
constexpr int ClientHeight = MoreOptionsTop + MoreOptionsHeight + 4;

// Labels are sized to their text up to the column of the fields.
constexpr int LabelLeft = 4;
constexpr int LabelWidth = 192;
constexpr int LabelHeight = 13;

// A unit stands between its number field and the check box column.
constexpr int UnitGap = 4;
constexpr int UnitWidth = 18;

// "Restore all defaults" stands in the check box column of the group's row
// beside its last number field, where no check box is.
constexpr int RestoreMoreDefaultsRow = 3;
constexpr int RestoreMoreDefaultsWidth = 200;

constexpr int CheckBoxWidth = 204;
constexpr int CheckBoxHeight = 17;
constexpr int PushButtonWidth = 100;

// The template rows, in the order of TemplateTags, stand 28 pixels apart
// from this top; the fields carry their template's tag.
constexpr int FirstTemplateTop = 88;
constexpr int TemplateRowHeight = 28;

int TemplateTop(size_t row) {
    return FirstTemplateTop + TemplateRowHeight * static_cast<int>(row);
}

// The INI key of the setting that the field with this tag edits.
QString SettingName(int tag) {
    return QString::fromUtf8(SettingWithTag(tag)->Key.data(),
                             static_cast<qsizetype>(SettingWithTag(tag)->Key.size()));
}

// The top of the "More options" row of the field with this tag.
int MoreOptionsRowTop(int tag) {
    return MoreOptionsFirstRow + MoreOptionsRowHeight * SettingWithTag(tag)->Dialog.MoreOptionsRow;
}

}  // namespace

void TFormSettings::CreateControls() {
    // The controls lie on a page of the layout's size, scrolled where a
    // screen has less room than that and, elsewhere, the whole dialog.
    content_ = new QWidget;
    content_->setObjectName("FormSettingsPage");
    content_->setFixedSize(ClientWidth, ClientHeight);
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setObjectName("ScrollBoxFormSettings");
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setFocusPolicy(Qt::NoFocus);
    scrollArea_->setWidget(content_);
    scrollArea_->setGeometry(0, 0, ClientWidth, ClientHeight);
    setFixedSize(ClientWidth, ClientHeight);
    // The scroll area brings a focused control into view by as little as it
    // can, so after one on the right the captions on the left stay cut off.
    // The leftmost place that still shows the whole control is taken instead.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || !content_->isAncestorOf(now)) return;
        QTimer::singleShot(0, this, [this, control = QPointer<QWidget>(now)] {
            if (!control) return;
            QScrollBar* bar = scrollArea_->horizontalScrollBar();
            const QRect place(control->mapTo(content_, QPoint(0, 0)), control->size());
            const int room = scrollArea_->viewport()->width();
            bar->setValue(std::min(place.left(), std::max(0, place.right() + 1 - room)));
        });
    });

    auto label = [this](const QString& name) {
        auto* control = new QLabel(content_);
        control->setObjectName(name);
        control->setTextFormat(Qt::PlainText);
        return control;
    };
    labelMaxSkippedURLCount_ = label("LabelMaxSkippedURLCount");
    labelNavigateDelayTime_ = label("LabelNavigateDelayTime");
    labelMaxFavoriteCount_ = label("LabelMaxFavoriteCount");

    auto spinEdit = [this](const QString& name, int tag, int top, const QString& layoutValue,
                           QWidget* parent = nullptr) {
        auto* field = new SpinEdit(tag, *SpinFieldBounds(tag), parent ? parent : content_);
        field->setObjectName(name);
        field->setGeometry(200, top, 113, 22);
        field->SetText(layoutValue);
        field->OnEnter = [this, field](Qt::FocusReason reason) {
            FieldFocusIn(field, field->Edit(), reason);
        };
        field->OnExit = [this, field](Qt::FocusReason reason) {
            if (CountsAsExit(reason)) SpinEditOnExit(field);
        };
        return field;
    };
    spinEditMaxSkippedURLCount_ =
        spinEdit("SpinEditMaxSkippedURLCount", MaxSkippedURLCountTag, 4, "100");
    spinEditNavigateDelayTime_ =
        spinEdit("SpinEditNavigateDelayTime", NavigateDelayTimeTag, 32, "1000");
    spinEditMaxFavoriteCount_ = spinEdit("SpinEditMaxFavoriteCount", MaxFavoriteCountTag, 60, "64");

    auto checkBox = [this](const QString& name, int top) {
        auto* control = new QCheckBox(content_);
        control->setObjectName(name);
        control->setGeometry(336, top, CheckBoxWidth, CheckBoxHeight);
        return control;
    };
    checkBoxWebBrowserVerbose_ = checkBox("CheckBoxWebBrowserVerbose", 6);
    checkBoxInvertMouseWheel_ = checkBox("CheckBoxInvertMouseWheel", 34);
    checkBoxSaveSettings_ = checkBox("CheckBoxSaveSettings", 62);
    checkBoxSaveSettings_->setChecked(true);

    for (size_t i = 0; i < TemplateTags.size(); ++i) {
        const int tag = TemplateTags[i];
        labelTemplateURLs_[i] = label("Label" + SettingName(tag));

        auto* edit = new TemplateEdit(tag, content_);
        edit->setObjectName("Edit" + SettingName(tag));
        edit->setGeometry(200, TemplateTop(i), 314, 22);
        edit->OnEnter = [this, edit](Qt::FocusReason reason) { FieldFocusIn(edit, edit, reason); };
        editTemplateURLs_[i] = edit;

        auto* restore = new QToolButton(content_);
        restore->setObjectName(QString("SpeedButtonRestoreDefaultURL") + QString::number(tag));
        restore->setGeometry(518, TemplateTop(i), 22, 22);
        // Tab reaches it and Space presses it; a click leaves the focus where it is.
        restore->setFocusPolicy(Qt::TabFocus);
        restore->setIconSize(QSize(16, 16));
        connect(restore, &QToolButton::clicked, this,
                [this, tag] { SpeedButtonRestoreDefaultURLOnClick(tag); });
        speedButtonRestoreDefaultURLs_[i] = restore;
    }

    labelLanguage_ = label("LabelLanguage");
    comboBoxLanguage_ = new LanguageComboBox(content_);
    comboBoxLanguage_->setObjectName("ComboBoxLanguage");
    comboBoxLanguage_->setGeometry(200, 256, 113, 22);
    connect(comboBoxLanguage_, &QComboBox::activated, this, [this] { ComboBoxLanguageOnChange(); });

    buttonCancel_ = new QPushButton(content_);
    buttonCancel_->setObjectName("ButtonCancel");
    buttonCancel_->setGeometry(336, 256, PushButtonWidth, 22);
    connect(buttonCancel_, &QPushButton::clicked, this, &QDialog::reject);

    buttonOk_ = new QPushButton(content_);
    buttonOk_->setObjectName("ButtonOk");
    buttonOk_->setGeometry(440, 256, PushButtonWidth, 22);
    buttonOk_->setDefault(true);
    connect(buttonOk_, &QPushButton::clicked, this, [this] { ButtonOkOnClick(); });

    groupMoreOptions_ = new QGroupBox(content_);
    groupMoreOptions_->setObjectName("GroupBoxMoreOptions");
    groupMoreOptions_->setGeometry(2, MoreOptionsTop, ClientWidth - 4, MoreOptionsHeight);
    for (size_t i = 0; i < MoreNumberTags.size(); ++i) {
        const int tag = MoreNumberTags[i];
        auto* caption = new QLabel(groupMoreOptions_);
        caption->setObjectName("Label" + SettingName(tag));
        caption->setTextFormat(Qt::PlainText);
        labelMoreNumbers_[i] = caption;
        // Left aligned with the fields above, which the group's frame sits beside.
        spinEditMoreNumbers_[i] = spinEdit("SpinEdit" + SettingName(tag), tag,
                                           MoreOptionsRowTop(tag), "0", groupMoreOptions_);
        spinEditMoreNumbers_[i]->move(198, MoreOptionsRowTop(tag));
    }
    for (size_t i = 0; i < MoreSwitchTags.size(); ++i) {
        auto* control = new QCheckBox(groupMoreOptions_);
        control->setObjectName("CheckBox" + SettingName(MoreSwitchTags[i]));
        control->setGeometry(334, MoreOptionsRowTop(MoreSwitchTags[i]) + 2, CheckBoxWidth,
                             CheckBoxHeight);
        checkBoxMoreSwitches_[i] = control;
    }
    labelSaveFolder_ = new QLabel(groupMoreOptions_);
    labelSaveFolder_->setObjectName("LabelSaveFolder");
    labelSaveFolder_->setTextFormat(Qt::PlainText);
    editSaveFolder_ = new QLineEdit(groupMoreOptions_);
    editSaveFolder_->setObjectName("EditSaveFolder");
    editSaveFolder_->setGeometry(198, MoreOptionsRowTop(SaveFolderSetting.Dialog.Tag),
                                 ClientWidth - 4 - 198 - 32, 22);
    buttonRestoreMoreDefaults_ = new QPushButton(groupMoreOptions_);
    buttonRestoreMoreDefaults_->setObjectName("ButtonRestoreMoreDefaults");
    buttonRestoreMoreDefaults_->setGeometry(
        334, MoreOptionsFirstRow + MoreOptionsRowHeight * RestoreMoreDefaultsRow,
        RestoreMoreDefaultsWidth, 22);
    connect(buttonRestoreMoreDefaults_, &QPushButton::clicked, this,
            [this] { ButtonRestoreMoreDefaultsOnClick(); });
    buttonBrowseSaveFolder_ = new QPushButton(groupMoreOptions_);
    buttonBrowseSaveFolder_->setObjectName("ButtonBrowseSaveFolder");
    buttonBrowseSaveFolder_->setText(QStringLiteral("..."));
    buttonBrowseSaveFolder_->setGeometry(ClientWidth - 4 - 30,
                                         MoreOptionsRowTop(SaveFolderSetting.Dialog.Tag), 24, 22);
    connect(buttonBrowseSaveFolder_, &QPushButton::clicked, this,
            [this] { ButtonBrowseSaveFolderOnClick(); });

    for (const SpinEdit* field :
         {spinEditMaxSkippedURLCount_, spinEditNavigateDelayTime_, spinEditMaxFavoriteCount_})
        AddUnit(field);
    for (const SpinEdit* field : spinEditMoreNumbers_) AddUnit(field);

    // Key preview: the dialog sees each key before the control that has the focus.
    for (QWidget* child : content_->findChildren<QWidget*>()) child->installEventFilter(this);
    RenewUndoArrows();
}

void TFormSettings::RenewUndoArrows() {
    // The design's navy where it stands out on the buttons, else the
    // palette's own colours for marks.
    const QIcon arrow(UndoArrowPixmap(LegibleMarkColour(*this, false, UndoArrowNavy)));
    for (QToolButton* restore : speedButtonRestoreDefaultURLs_) restore->setIcon(arrow);
}

void TFormSettings::AddUnit(const SpinEdit* field) {
    const std::string_view unit = SettingWithTag(field->Tag())->Dialog.Unit;
    if (unit.empty()) return;
    auto* label = new QLabel(field->parentWidget());
    label->setObjectName("LabelUnit" + SettingName(field->Tag()));
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromUtf8(unit.data(), static_cast<qsizetype>(unit.size())));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(field->geometry().right() + 1 + UnitGap, field->y(), UnitWidth,
                       field->height());
    labelUnits_.push_back(label);
}

void TFormSettings::SetTabOrder() {
    // Every control Tab reaches, the restore buttons among them, as they are
    // read: row by row from the top, left to right within a row; OK and
    // Cancel last. Controls of one row stand at most half a row apart.
    std::vector<QWidget*> order;
    for (QWidget* control : content_->findChildren<QWidget*>()) {
        const QWidget* parent = control->parentWidget();
        if ((control->focusPolicy() & Qt::TabFocus) && control != buttonCancel_ &&
            control != buttonOk_ && (parent == content_ || parent == groupMoreOptions_))
            order.push_back(control);
    }
    const auto centre = [this](const QWidget* control) {
        return control->parentWidget()->mapTo(content_, control->geometry().center());
    };
    std::stable_sort(order.begin(), order.end(), [&](const QWidget* a, const QWidget* b) {
        return centre(a).y() < centre(b).y();
    });
    for (auto row = order.begin(); row != order.end();) {
        const int top = centre(*row).y();
        const auto end = std::find_if(row, order.end(), [&](const QWidget* control) {
            return centre(control).y() - top >= TemplateRowHeight / 2;
        });
        std::stable_sort(row, end, [&](const QWidget* a, const QWidget* b) {
            return centre(a).x() < centre(b).x();
        });
        row = end;
    }
    order.insert(order.end(), {buttonCancel_, buttonOk_});
    for (size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

// The layout's own 8 point font is not to be had here: the system's font at
// the largest size at which every text of both languages fits the layout.
void TFormSettings::FitFont() {
    QFont font = QApplication::font();
    const double systemSize = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
    for (double size = systemSize; size >= 6.0; size -= 0.5) {
        font.setPointSizeF(size);
        setFont(font);
        if (TextsFit()) break;
    }

    const int labelHeight = std::max(LabelHeight, fontMetrics().height());
    const int labelShift = (labelHeight - LabelHeight) / 2;
    auto place = [&](QLabel* control, int top) {
        control->setGeometry(LabelLeft, top - labelShift, LabelWidth, labelHeight);
    };
    place(labelMaxSkippedURLCount_, 8);
    place(labelNavigateDelayTime_, 36);
    place(labelMaxFavoriteCount_, 64);
    for (size_t i = 0; i < TemplateTags.size(); ++i) {
        place(labelTemplateURLs_[i], TemplateTop(i) + 4);
    }
    place(labelLanguage_, 260);
    for (size_t i = 0; i < MoreNumberTags.size(); ++i) {
        labelMoreNumbers_[i]->setGeometry(LabelLeft - 2,
                                          MoreOptionsRowTop(MoreNumberTags[i]) + 4 - labelShift,
                                          LabelWidth, labelHeight);
    }
    labelSaveFolder_->setGeometry(LabelLeft - 2,
                                  MoreOptionsRowTop(SaveFolderSetting.Dialog.Tag) + 4 - labelShift,
                                  LabelWidth, labelHeight);
}

bool TFormSettings::TextsFit() {
    // The dialog is not shown yet: the texts are put only to be measured.
    const QFontMetrics metrics = fontMetrics();
    if (metrics.height() > CheckBoxHeight) return false;
    bool fit = true;
    for (int language = 0; language < texts::LanguageCount && fit; ++language) {
        SetFormSettingsTexts(language);
        for (const QLabel* control : findChildren<QLabel*>()) {
            const bool unit =
                std::find(labelUnits_.begin(), labelUnits_.end(), control) != labelUnits_.end();
            fit = fit &&
                  metrics.horizontalAdvance(control->text()) <= (unit ? UnitWidth : LabelWidth);
        }
        for (const QCheckBox* control : findChildren<QCheckBox*>()) {
            fit = fit && control->sizeHint().width() <= CheckBoxWidth;
        }
        for (const QPushButton* control : findChildren<QPushButton*>()) {
            const int room =
                control == buttonRestoreMoreDefaults_ ? RestoreMoreDefaultsWidth : PushButtonWidth;
            fit = fit && metrics.horizontalAdvance(control->text()) + 16 <= room;
        }
        fit = fit && metrics.height() + 4 <= MoreOptionsFirstRow;
    }
    return fit;
}

}  // namespace kpw
