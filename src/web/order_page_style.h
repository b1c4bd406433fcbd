#pragma once

#include <QString>

// The look of the order pages: the quick order page and the address panel they share.
QString OrderPagesStyle();
