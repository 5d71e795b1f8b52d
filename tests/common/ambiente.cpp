#include "ambiente.h"

#include <QDir>
#include <QFile>

#include <csignal>

Ambiente::Ambiente(const QByteArray& testoIni)
{
    if (!testoIni.isEmpty()) {
        QFile f(fileIni());
        if (f.open(QIODevice::WriteOnly))
            f.write(testoIni);
    }
    m_dtm = std::make_unique<TdtmPresenze>();
    m_dtm->setPresentatore(&m_registro);
    m_dtm->Apri(fileIni(), TdtmPresenze::ModoCreazione::Sempre);
}

Ambiente::~Ambiente()
{
    m_dtm.reset();
}

QString Ambiente::fileIni() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("PRES.INI"));
}

int Ambiente::conta(const QString& tabella, const QString& condizione)
{
    return valore(QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(tabella, condizione.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condizione)).toInt();
}

DiscoPieno::DiscoPieno(rlim_t byte)
{
    getrlimit(RLIMIT_FSIZE, &m_prima);
    m_segnale = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite = m_prima;
    limite.rlim_cur = byte;
    setrlimit(RLIMIT_FSIZE, &limite);
}

DiscoPieno::~DiscoPieno()
{
    setrlimit(RLIMIT_FSIZE, &m_prima);
    std::signal(SIGXFSZ, m_segnale);
}
