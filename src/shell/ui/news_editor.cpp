#include "shell/ui/news_editor.h"

#include "common/prompt.h"
#include "shell/news_text.h"
#include "shell/ui/news_document.h"

#include <QAction>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

NewsEditor::NewsEditor(NewsText &news, Prompt &prompt, QWidget *parent)
    : QDialog(parent), news_(news), prompt_(prompt), editor_(new QTextEdit),
      bold_(new QAction(QStringLiteral("Ж"), this))
{
    setObjectName(QStringLiteral("NewsEditor"));
    setWindowTitle(QStringLiteral("Редагування новин [NEWS.rtf]"));
    resize(720, 480);

    editor_->setObjectName(QStringLiteral("NewsText"));
    // Pasted text takes the look at the cursor: only what the file keeps can be given.
    editor_->setAcceptRichText(false);
    ShowRuns(*editor_->document(), news_.document());

    // The shortcut is the action's: a button's own shortcut clicks it only after a short
    // animation.
    bold_->setToolTip(QStringLiteral("Жирний (Ctrl+B)"));
    bold_->setShortcut(QKeySequence::Bold);
    bold_->setCheckable(true);
    QFont boldFont = bold_->font();
    boldFont.setBold(true);
    bold_->setFont(boldFont);
    auto *bold = new QToolButton;
    bold->setObjectName(QStringLiteral("Bold"));
    bold->setDefaultAction(bold_);
    auto *colour = new QToolButton;
    colour->setObjectName(QStringLiteral("Colour"));
    colour->setText(QStringLiteral("Колір ..."));
    colour->setToolTip(QStringLiteral("Колір тексту"));
    connect(bold_, &QAction::triggered, this, &NewsEditor::setBold);
    connect(colour, &QToolButton::clicked, this, &NewsEditor::chooseColour);
    connect(editor_, &QTextEdit::currentCharFormatChanged, this, &NewsEditor::showFormat);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &NewsEditor::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &NewsEditor::reject);

    auto *tools = new QHBoxLayout;
    tools->addWidget(bold);
    tools->addWidget(colour);
    tools->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(editor_, 1);
    layout->addWidget(buttons);
}

void NewsEditor::save()
{
    const QString problem = news_.save(DocumentRuns(*editor_->document()));
    if (!problem.isEmpty()) {
        prompt_.message(problem);
        return;
    }
    accept();
}

void NewsEditor::setBold(bool bold)
{
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    editor_->mergeCurrentCharFormat(format);
    editor_->setFocus();
}

void NewsEditor::setColour(const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    editor_->mergeCurrentCharFormat(format);
    editor_->setFocus();
}

void NewsEditor::chooseColour()
{
    const QColor colour = QColorDialog::getColor(editor_->textColor(), this, QStringLiteral("Колір тексту"));
    if (colour.isValid())
        setColour(colour);
}

void NewsEditor::showFormat(const QTextCharFormat &format) { bold_->setChecked(format.fontWeight() >= QFont::Bold); }

void NewsEditor::reject()
{
    if (editor_->document()->isModified()
        && !prompt_.question(QStringLiteral("Закрити редактор новин без збереження змін ?")))
        return;
    QDialog::reject();
}
