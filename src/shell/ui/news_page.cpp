#include "shell/ui/news_page.h"

#include "common/prompt.h"
#include "shell/news_text.h"
#include "shell/ui/external_url.h"
#include "shell/ui/news_editor.h"
#include "shell/ui/tool_button.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

NewsPage::NewsPage(NewsText &news, Prompt &prompt, QWidget *parent)
    : QWidget(parent), news_(news), prompt_(prompt), view_(new QPlainTextEdit(this))
{
    view_->setObjectName(QStringLiteral("RichEdit3"));
    view_->setReadOnly(true);

    auto *reload = MakeToolButton(this, "SpeedButton18", QStyle::SP_BrowserReload,
                              QStringLiteral("Обновити дані з файла новин [NEWS.rtf]"));
    auto *open = MakeToolButton(this, "SpeedButton19", QStyle::SP_DialogOpenButton,
                            QStringLiteral("Відкрити файл новин [NEWS.rtf]. Після змін у файлі "
                                           "обновіть дані !!!"));
    // Servers seldom have a word processor: the news can be edited here.
    auto *edit = MakeToolButton(this, "EditNews", QStyle::SP_FileDialogDetailedView,
                                QStringLiteral("Редагувати новини: збережений файл новин [NEWS.rtf] відразу отримують "
                                               "клієнти"));
    edit->setText(QStringLiteral("Редагувати новини ..."));
    edit->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(reload, &QToolButton::clicked, this, &NewsPage::SpeedButton18Click);
    connect(open, &QToolButton::clicked, this, &NewsPage::SpeedButton19Click);
    connect(edit, &QToolButton::clicked, this, &NewsPage::editNews);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(reload);
    buttons->addWidget(open);
    buttons->addWidget(edit);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(view_, 1);
    showNews();
}

QString NewsPage::text() const { return view_->toPlainText(); }

void NewsPage::showNews() { view_->setPlainText(news_.text()); }

void NewsPage::SpeedButton18Click()
{
    const QString problem = news_.load();
    showNews();
    if (!problem.isEmpty())
        prompt_.message(problem);
}

void NewsPage::SpeedButton19Click() { OpenExternalUrl(QUrl::fromLocalFile(news_.path())); }

NewsEditor *NewsPage::editNews()
{
    auto *editor = new NewsEditor(news_, prompt_, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &QDialog::accepted, this, &NewsPage::showNews);
    editor->open();
    return editor;
}
