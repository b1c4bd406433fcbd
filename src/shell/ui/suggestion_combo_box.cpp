#include "shell/ui/suggestion_combo_box.h"

#include <QKeyEvent>
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

void SuggestionComboBox::keyPressEvent(QKeyEvent *event)
{
    QComboBox::keyPressEvent(event);
    // Enter has run this box's search: it must not go on to press a button of the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
}
