#include "shell/news_text.h"

#include "common/rtf_reader.h"
#include "common/rtf_writer.h"

#include <QDir>
#include <QFile>

namespace {

const QString kNoNews = QStringLiteral("Вкажіть свої новини !!!");

}  // namespace

QString NewsText::path() const { return QDir(folder_).filePath(QStringLiteral("NEWS.rtf")); }

QString NewsText::text()
{
    {
        std::lock_guard guard(mutex_);
        if (loaded_)
            return text_;
    }
    load();
    std::lock_guard guard(mutex_);
    return text_;
}

QString NewsText::load()
{
    {
        std::lock_guard guard(mutex_);
        loaded_ = true;  // an unreadable file is not tried again at every request
    }
    QFile file(path());
    if (!file.exists()) {
        {
            std::lock_guard guard(mutex_);
            text_ = kNoNews;
        }
        QString error;
        if (!SaveRtf(path(), {kNoNews}, &error))
            return QStringLiteral("Неможливо записати файл новин [NEWS.rtf]: ") + error;
        return {};
    }
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Неможливо прочитати файл новин [NEWS.rtf]: ") + file.errorString();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Неможливо прочитати файл новин [NEWS.rtf]: ") + file.errorString();
    const QString text = RtfToPlainText(bytes);
    std::lock_guard guard(mutex_);
    text_ = text;
    return {};
}
