#pragma once

#include <QString>

// The look of the registration page.
QString RegistrationPageStyle();
