#include "fileini.h"

#include <SimpleIni.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

struct FileIni::Dati {
    CSimpleIniA ini{true, false, false};  // UTF-8, single keys, no multi-line values
};

FileIni::FileIni(const QString& percorso) : d(std::make_unique<Dati>()), m_percorso(percorso)
{
    ricarica();
}

FileIni::~FileIni() = default;

void FileIni::ricarica()
{
    d->ini.Reset();
    d->ini.SetUnicode(true);
    d->ini.SetSpaces(false);  // key=value, as Windows writes it
    QFile f(m_percorso);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QByteArray dati = f.readAll();
    if (d->ini.LoadData(dati.constData(), size_t(dati.size())) < 0) {
        // Not valid UTF-8 (a file written by a Windows editor): take the bytes as they are.
        d->ini.Reset();
        d->ini.SetUnicode(false);
        d->ini.LoadData(dati.constData(), size_t(dati.size()));
    }
}

bool FileIni::esiste(const QString& sezione, const QString& chiave) const
{
    return d->ini.GetValue(sezione.toUtf8().constData(), chiave.toUtf8().constData(), nullptr) != nullptr;
}

QString FileIni::leggiTesto(const QString& sezione, const QString& chiave, const QString& predefinito) const
{
    const char* v = d->ini.GetValue(sezione.toUtf8().constData(), chiave.toUtf8().constData(), nullptr);
    return v ? QString::fromUtf8(v) : predefinito;
}

int FileIni::leggiIntero(const QString& sezione, const QString& chiave, int predefinito) const
{
    const QString t = leggiTesto(sezione, chiave).trimmed();
    if (t.isEmpty())
        return predefinito;
    bool ok = false;
    int v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toInt(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toInt(&ok, 16);
    else
        v = t.toInt(&ok);
    return ok ? v : predefinito;
}

bool FileIni::leggiBooleano(const QString& sezione, const QString& chiave, bool predefinito) const
{
    return leggiIntero(sezione, chiave, predefinito ? 1 : 0) != 0;
}

void FileIni::scriviTesto(const QString& sezione, const QString& chiave, const QString& valore)
{
    // Start from the file as it is now, so that keys written meanwhile by someone else stay.
    ricarica();
    d->ini.SetValue(sezione.toUtf8().constData(), chiave.toUtf8().constData(), valore.toUtf8().constData());
    salva();
}

void FileIni::scriviIntero(const QString& sezione, const QString& chiave, int valore)
{
    scriviTesto(sezione, chiave, QString::number(valore));
}

void FileIni::scriviBooleano(const QString& sezione, const QString& chiave, bool valore)
{
    scriviTesto(sezione, chiave, valore ? QStringLiteral("1") : QStringLiteral("0"));
}

void FileIni::salva()
{
    std::string testo;
    if (d->ini.Save(testo) < 0)
        throw std::runtime_error("INI");
    QFile f(m_percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || f.write(testo.data(), qint64(testo.size())) != qint64(testo.size()))
        throw std::runtime_error(QStringLiteral("%1: %2").arg(QFileInfo(m_percorso).absoluteFilePath(), f.errorString()).toStdString());
}
