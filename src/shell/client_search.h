#pragma once

#include <QMetaType>
#include <QString>

// What the requests and complaints pages ask the clients table window to look for:
// the accounts whose code, or telephone, contains `text`.
struct ClientSearch {
    enum class Field { Code, Telephone };
    Field field = Field::Code;
    QString text;

    bool operator==(const ClientSearch &) const = default;
};

Q_DECLARE_METATYPE(ClientSearch)
