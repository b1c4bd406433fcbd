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

std::optional<QByteArray> NewsText::read(QString *error) const
{
    QFile file(path());
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return bytes;
    }
    if (error)
        *error = QStringLiteral("Неможливо прочитати файл новин [NEWS.rtf]: ") + file.errorString();
    return std::nullopt;
}

RtfRuns NewsText::document()
{
    if (const std::optional<QByteArray> bytes = read())
        return RtfToRuns(*bytes);
    return {{text(), false, std::nullopt}};
}

QString NewsText::save(const RtfRuns &document)
{
    QFile current(path());
    if (current.exists()) {
        const QString backup = path() + QStringLiteral(".bak");
        // A copy, not a rename: should the new file fail, NEWS.rtf stays in place.
        if (QFile::exists(backup) && !QFile::remove(backup))
            return QStringLiteral("Неможливо замінити копію файла новин [NEWS.rtf.bak]. Новини не змінено.");
        if (!current.copy(backup))
            return QStringLiteral("Неможливо зберегти копію файла новин [NEWS.rtf.bak]: %1. Новини не змінено.")
                .arg(current.errorString());
    }
    QString error;
    if (!SaveFormattedRtf(path(), document, &error))
        return QStringLiteral("Неможливо записати файл новин [NEWS.rtf]: %1. Новини не змінено.").arg(error);
    return load();
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
    QString error;
    const std::optional<QByteArray> bytes = read(&error);
    if (!bytes)
        return error;
    const QString text = RtfToPlainText(*bytes);
    std::lock_guard guard(mutex_);
    text_ = text;
    return {};
}
