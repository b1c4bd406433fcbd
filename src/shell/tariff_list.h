#pragma once

#include <QStringList>

class TDANI;

// Names of the dispatchers' tariffs in their own order, for the tariff list of the
// settings page; read afresh every time the operator opens the list. Throws fb::Error.
QStringList TariffNames(TDANI &danni);
