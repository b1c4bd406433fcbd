#pragma once

#include "data/client_list.h"

#include <QtGlobal>

#include <optional>

class TDANI;

// The dispatchers' client look-ups of the pages and the mobile commands. They answer from
// the in-memory client list (TDANI::clientList) and fall back to the designed statement
// on the shared RIZNE when the list finds nothing, so that a client the dispatchers
// added since the list was read is still found. Under the service lock.

// The client record with a client code: the last row whose KLIENT_DODATKOVO holds
// "[" + FormatNumber5(code) + "]".
std::optional<ClientRecord> FindClient(TDANI &d, qint64 code);

// Whether a client record holds `piece` (client-typed, "[" + code + "]") in
// KLIENT_DODATKOVO, literally.
bool AnyClientWithPiece(TDANI &d, const QString &piece);

// How many client records hold `telephone` in KLIENT_TELEFON, literally, and, with a
// code, that code's "[00220]" in KLIENT_DODATKOVO.
int CountClientsByTelephone(TDANI &d, const QString &telephone, std::optional<qint64> code);
