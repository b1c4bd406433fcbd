#pragma once

#include "data/service_schema.h"
#include "scripted_prompt.h"
#include "service_folder.h"
#include "shell/service_context.h"

#include <gtest/gtest.h>

// A service context on both real databases in a folder of its own: the dispatchers'
// (with the demo city when asked) and a new service database.
class MobileDatabases : public ::testing::Test {
protected:
    explicit MobileDatabases(bool demoCity = false) : folder(demoCity) {}

    void SetUp() override
    {
        const DatabaseLogin login{QStringLiteral("SYSDBA"), QStringLiteral("masterkey")};
        ASSERT_TRUE(context.danni.OpenDispatchBase(folder.dispatchDatabase(), login, prompt));
        const QString service = folder.filePath(QStringLiteral("KORVANTIS_KLIENT.FDB"));
        CreateServiceDatabase(service, login, [](const QStringList &) {});
        ASSERT_TRUE(context.danni.OpenServiceBase(service, login, prompt));
    }

    kvtest::ServiceFolder folder;
    kvtest::ScriptedPrompt prompt;
    ServiceContext context{folder.path(), prompt};
};
