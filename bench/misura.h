#pragma once
// What the benchmarks share: their numeric options and the peak memory they report.

#include <QStringList>

#include <sys/resource.h>

namespace Misura {

// Peak resident memory of this process so far, in megabytes.
inline double piccoMemoriaMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// The number after `nome` among the arguments, or `predefinito`.
inline int argomento(const QStringList& a, const QString& nome, int predefinito)
{
    const int i = int(a.indexOf(nome));
    return i >= 0 && i + 1 < a.size() ? a.at(i + 1).toInt() : predefinito;
}

}  // namespace Misura
