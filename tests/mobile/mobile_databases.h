#pragma once

#include "scripted_prompt.h"
#include "service_databases.h"

#include <gtest/gtest.h>

// A service context on both real databases in a folder of its own: the dispatchers'
// (with the demo city when asked) and a new service database.
class MobileDatabases : public ::testing::Test {
protected:
    explicit MobileDatabases(bool demoCity = false) : folder(demoCity) {}

    void SetUp() override { kvtest::OpenServiceDatabases(context, folder, prompt); }

    kvtest::ServiceFolder folder;
    kvtest::ScriptedPrompt prompt;
    ServiceContext context{folder.path(), prompt};
};
