#pragma once
// What the benchmarks share: their numeric options and the peak memory they report.

#include <QFile>
#include <QStringList>

#include <sys/resource.h>

namespace Misura {

// Peak resident memory of this process since it started or since the last
// azzeraPiccoMemoria(), in megabytes.
inline double piccoMemoriaMb()
{
    // The kernel's high-water mark can be reset, the resource usage's cannot.
    QFile stato(QStringLiteral("/proc/self/status"));
    if (stato.open(QIODevice::ReadOnly))
        for (QByteArray riga = stato.readLine(); !riga.isEmpty(); riga = stato.readLine())
            if (riga.startsWith("VmHWM:"))
                return riga.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;  // kB
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Starts measuring the peak again from the memory in use now, so that one phase of a run
// can be measured without what the phases before it held.
inline void azzeraPiccoMemoria()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The number after `nome` among the arguments, or `predefinito`.
inline int argomento(const QStringList& a, const QString& nome, int predefinito)
{
    const int i = int(a.indexOf(nome));
    return i >= 0 && i + 1 < a.size() ? a.at(i + 1).toInt() : predefinito;
}

}  // namespace Misura
