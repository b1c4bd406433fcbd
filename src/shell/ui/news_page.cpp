#include "shell/ui/news_page.h"

#include "common/prompt.h"
#include "common/rtf_reader.h"
#include "common/rtf_writer.h"
#include "shell/ui/external_url.h"
#include "shell/ui/tool_button.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kNoNews = QStringLiteral("Вкажіть свої новини !!!");

}  // namespace

NewsPage::NewsPage(QString folder, Prompt &prompt, QWidget *parent)
    : QWidget(parent), folder_(std::move(folder)), prompt_(prompt), view_(new QPlainTextEdit(this))
{
    view_->setObjectName(QStringLiteral("RichEdit3"));
    view_->setReadOnly(true);

    auto *reload = MakeToolButton(this, "SpeedButton18", QStyle::SP_BrowserReload,
                              QStringLiteral("Обновити дані з файла новин [NEWS.rtf]"));
    auto *open = MakeToolButton(this, "SpeedButton19", QStyle::SP_DialogOpenButton,
                            QStringLiteral("Відкрити файл новин [NEWS.rtf]. Після змін у файлі "
                                           "обновіть дані !!!"));
    connect(reload, &QToolButton::clicked, this, &NewsPage::SpeedButton18Click);
    connect(open, &QToolButton::clicked, this, &NewsPage::SpeedButton19Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(reload);
    buttons->addWidget(open);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(view_, 1);
    SpeedButton18Click();
}

QString NewsPage::newsPath() const { return QDir(folder_).filePath(QStringLiteral("NEWS.rtf")); }

QString NewsPage::text() const { return view_->toPlainText(); }

void NewsPage::SpeedButton18Click()
{
    QFile file(newsPath());
    if (!file.exists()) {
        view_->setPlainText(kNoNews);
        QString error;
        if (!SaveRtf(newsPath(), {kNoNews}, &error))
            prompt_.message(QStringLiteral("Неможливо записати файл новин [NEWS.rtf]: ") + error);
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        prompt_.message(QStringLiteral("Неможливо прочитати файл новин [NEWS.rtf]: ")
                        + file.errorString());
        return;
    }
    view_->setPlainText(RtfToPlainText(file.readAll()));
}

void NewsPage::SpeedButton19Click() { OpenExternalUrl(QUrl::fromLocalFile(newsPath())); }
