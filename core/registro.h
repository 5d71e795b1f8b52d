#pragma once
// The one read-only system value that selects the application's alternative title.
// On Windows it is the registry value AZIENDA under HKEY_LOCAL_MACHINE\Software\Vantrelco\KVAzienda.
// Elsewhere the same value is read from a system-wide INI file, [KVAzienda] AZIENDA=...,
// at /etc/quorlin/registro.ini, or at the path named by the environment variable
// QUORLIN_REGISTRO when it is set.

#include <QString>

namespace Registro {
QString FileDiSistema();
QString LeggiAzienda();
}  // namespace Registro
