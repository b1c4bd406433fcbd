#pragma once

#include <QComboBox>

#include <functional>

// An editable combo box whose list is filled when it drops down, from what has been
// typed so far; Enter in it is told by `entered`.
class SuggestionComboBox : public QComboBox {
    Q_OBJECT
public:
    using Source = std::function<QStringList(const QString &typed)>;

    SuggestionComboBox(const char *name, Source source, QWidget *parent = nullptr);

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

signals:
    void entered();

private:
    Source source_;
};
