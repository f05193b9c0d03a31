#pragma once

#include <QAbstractListModel>
#include <QComboBox>
#include <string>
#include <vector>

namespace kpw {

// Shows a favourites list straight from the logic's entries, without a copy.
class FavoriteListModel : public QAbstractListModel {
    Q_OBJECT
public:
    FavoriteListModel(const std::vector<std::string>& entries, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The entries changed: views read them anew.
    void Reload();

private:
    const std::vector<std::string>& entries_;
};

// A favourites drop-down list that reports its close-up, its loss of focus
// and its keys, besides the selection QComboBox reports itself.
class FavoriteComboBox : public QComboBox {
    Q_OBJECT
public:
    FavoriteComboBox(const std::vector<std::string>& entries, QWidget* parent);
    FavoriteListModel* ListModel() const { return model_; }
    void hidePopup() override;

signals:
    void CloseUp();
    void Exit();
    void KeyPress(char key);

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FavoriteListModel* model_;
};

}  // namespace kpw
