#pragma once

#include <QDialog>
#include <functional>

#include "browsing/RangeKeeper.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace kpw {

// Asks which range of photos to keep: from, to, the photo size, the folder
// and whether photos kept before are skipped. What is wrong with the fields
// is said in the dialog, which stays open until they make a range.
class RangeDialog : public QDialog {
    Q_OBJECT
public:
    // folderState tells the state of the folder typed.
    RangeDialog(const RangeOrder& offered, int language,
                std::function<FolderState(const std::string&)> folderState,
                QWidget* parent = nullptr);

    // The range asked for, once accepted (templates not filled in).
    const RangeOrder& Order() const { return order_; }
    // The message shown; empty while the fields are fine.
    QString Message() const;

    void accept() override;

private:
    void ChooseFolder();

    int language_;
    std::function<FolderState(const std::string&)> folderState_;
    RangeOrder order_;
    QLineEdit* from_;
    QLineEdit* to_;
    QComboBox* size_;
    QLineEdit* folder_;
    QCheckBox* skipKept_;
    QLabel* message_;
};

}  // namespace kpw
