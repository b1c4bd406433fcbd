#pragma once

#include <QString>

#include <string>
#include <utility>
#include <vector>

// The fields of a posted form (application/x-www-form-urlencoded, UTF-8, as the
// pages' forms and their script send them).
class FormData {
public:
    static constexpr size_t kMaxFields = 1000;

    // Fields past kMaxFields are dropped.
    explicit FormData(const std::string &body);

    bool has(const QString &name) const;
    // The last value posted under `name` (a check box posts "off" and then "on").
    QString value(const QString &name) const;

private:
    std::vector<std::pair<QString, QString>> fields_;
};
