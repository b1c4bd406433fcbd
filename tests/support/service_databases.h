#pragma once

// Opening a service context on both real databases of a service folder: the
// dispatchers' database the folder holds and a new service database beside it.
// Header-only: the programs that use it link the shell.

#include "data/service_schema.h"
#include "service_folder.h"
#include "shell/service_context.h"

#include <gtest/gtest.h>

namespace kvtest {

inline void OpenServiceDatabases(ServiceContext &context, const ServiceFolder &folder, Prompt &prompt)
{
    const DatabaseLogin login{QStringLiteral("SYSDBA"), QStringLiteral("masterkey")};
    ASSERT_TRUE(context.danni.OpenDispatchBase(folder.dispatchDatabase(), login, prompt));
    const QString service = folder.filePath(QStringLiteral("KORVANTIS_KLIENT.FDB"));
    CopyNewServiceDatabase(service);
    ASSERT_TRUE(context.danni.OpenServiceBase(service, login, prompt));
}

}  // namespace kvtest
