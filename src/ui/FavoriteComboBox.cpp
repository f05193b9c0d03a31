#include "ui/FavoriteComboBox.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>

#include "browsing/KeyCodes.h"

namespace kpw {

FavoriteListModel::FavoriteListModel(const std::vector<std::string>& entries, QObject* parent)
    : QAbstractListModel(parent), entries_(entries) {}

int FavoriteListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant FavoriteListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(entries_.size())) return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return QString::fromStdString(entries_[static_cast<size_t>(index.row())]);
}

void FavoriteListModel::Reload() {
    beginResetModel();
    endResetModel();
}

FavoriteComboBox::FavoriteComboBox(const std::vector<std::string>& entries, QWidget* parent)
    : QComboBox(parent), model_(new FavoriteListModel(entries, this)) {
    setModel(model_);
    setMaxVisibleItems(16);
    setFocusPolicy(Qt::ClickFocus);  // not a tab stop
}

void FavoriteComboBox::hidePopup() {
    const bool wasShown = view() && view()->isVisible();
    QComboBox::hidePopup();
    if (wasShown) emit CloseUp();
}

void FavoriteComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    // Focus moving into the list's own popup is not leaving the list.
    if (event->reason() != Qt::PopupFocusReason && !(view() && view()->isVisible())) emit Exit();
}

void FavoriteComboBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        emit KeyPress(CharEscape);
        return;
    }
    QComboBox::keyPressEvent(event);
}

}  // namespace kpw
