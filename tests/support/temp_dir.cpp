#include "temp_dir.h"

#include <QDir>
#include <QTemporaryDir>

namespace kvtest {

TempDir::TempDir(const QString &prefix)
    : dir_(std::make_unique<QTemporaryDir>(QDir::tempPath() + u'/' + prefix + QStringLiteral("-XXXXXX")))
{
    dir_->setAutoRemove(true);
}

TempDir::~TempDir() = default;

bool TempDir::isValid() const { return dir_->isValid(); }

QString TempDir::path() const { return dir_->path(); }

QString TempDir::filePath(const QString &name) const { return dir_->filePath(name); }

}  // namespace kvtest
