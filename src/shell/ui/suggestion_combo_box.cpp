#include "shell/ui/suggestion_combo_box.h"

#include <QLineEdit>

SuggestionComboBox::SuggestionComboBox(const char *name, Source source, QWidget *parent)
    : QComboBox(parent), source_(std::move(source))
{
    setObjectName(QString::fromLatin1(name));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMinimumContentsLength(12);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(lineEdit(), &QLineEdit::returnPressed, this, &SuggestionComboBox::entered);
}

void SuggestionComboBox::showPopup()
{
    const QString typed = currentText();
    clear();
    addItems(source_(typed));
    // Filling the list must not replace what the operator typed.
    setCurrentIndex(-1);
    setEditText(typed);
    QComboBox::showPopup();
}
