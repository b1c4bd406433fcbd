#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

namespace kvtest {

// A folder of its own under the system temporary folder, removed with everything in
// it when the object goes away.
class TempDir {
public:
    explicit TempDir(const QString &prefix = QStringLiteral("kv-test"));
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    bool isValid() const;
    QString path() const;
    QString filePath(const QString &name) const;  // path()/name

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

}  // namespace kvtest
