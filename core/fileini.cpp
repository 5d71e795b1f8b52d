#include "fileini.h"

#include <SimpleIni.h>

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

ErroreIni::ErroreIni(Tipo tipo, const QString& dettaglio)
    : std::runtime_error(dettaglio.toStdString()), m_tipo(tipo), m_dettaglio(dettaglio)
{
}

namespace {

// The line (from 1) that shows the bytes are not INI text, 0 when they are. A database, a
// PDF or a program holds control characters (NUL above all) that no editor writes into an
// INI file; a text that is not INI has lines that are neither blank, a comment, a
// [section] nor key=value.
int rigaNonIni(const QByteArray& dati)
{
    int n = 0;
    for (const QByteArray& riga : dati.split('\n')) {
        ++n;
        for (const char c : riga) {
            const uchar u = uchar(c);
            // Tab, the CR of CR LF and the end-of-file mark of old DOS editors are text.
            if ((u < 0x20 && u != '\t' && u != '\r' && u != 0x1A) || u == 0x7F)
                return n;
        }
        QByteArray t = riga;
        if (n == 1 && t.startsWith("\xEF\xBB\xBF"))
            t = t.mid(3);
        while (t.endsWith('\x1A'))
            t.chop(1);
        t = t.trimmed();
        if (t.isEmpty() || t.startsWith(';') || t.startsWith('#') || t.startsWith('[') || t.contains('='))
            continue;
        return n;
    }
    return 0;
}

QString assoluto(const QString& percorso)
{
    return QFileInfo(percorso).absoluteFilePath();
}

// A copy killed between creating a lock file and writing its owner into it leaves an empty
// file, which QLockFile takes for a live lock for its whole stale time; for the helper lock
// it takes while removing a stale one (".rmlock") that is 30 seconds, during which no copy
// could write. A holder fills its lock file at once, so an empty one seconds old has none.
void rimuoviBlocchiVuoti(const QString& fileBlocco)
{
    for (const QString& f : {fileBlocco, fileBlocco + QStringLiteral(".rmlock")}) {
        const QFileInfo fi(f);
        if (fi.exists() && fi.size() == 0 && fi.lastModified().msecsTo(QDateTime::currentDateTime()) > 2000)
            QFile::remove(f);
    }
}

}  // namespace

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
    QByteArray dati;
    const QFileInfo fi(m_percorso);
    if (fi.exists()) {
        if (!fi.isFile())
            throw ErroreIni(ErroreIni::Tipo::NonIni, assoluto(m_percorso));
        QFile f(m_percorso);
        if (!f.open(QIODevice::ReadOnly))
            throw ErroreIni(ErroreIni::Tipo::Lettura, assoluto(m_percorso) + QStringLiteral(": ") + f.errorString());
        dati = f.readAll();
        if (f.error() != QFileDevice::NoError)
            throw ErroreIni(ErroreIni::Tipo::Lettura, assoluto(m_percorso) + QStringLiteral(": ") + f.errorString());
        if (const int riga = rigaNonIni(dati))
            throw ErroreIni(ErroreIni::Tipo::NonIni, QStringLiteral("%1:%2").arg(assoluto(m_percorso)).arg(riga));
    }
    d->ini.Reset();
    d->ini.SetUnicode(true);
    d->ini.SetSpaces(false);  // key=value, as Windows writes it
    if (dati.isEmpty())
        return;
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
    // The file as it is now: another copy may have written this very value meanwhile.
    ricarica();
    if (esiste(sezione, chiave) && leggiTesto(sezione, chiave) == valore)
        return;
    aggiorna([&](FileIni& f) { f.imposta(sezione, chiave, valore); });
}

void FileIni::scriviIntero(const QString& sezione, const QString& chiave, int valore)
{
    scriviTesto(sezione, chiave, QString::number(valore));
}

void FileIni::scriviBooleano(const QString& sezione, const QString& chiave, bool valore)
{
    scriviTesto(sezione, chiave, valore ? QStringLiteral("1") : QStringLiteral("0"));
}

void FileIni::imposta(const QString& sezione, const QString& chiave, const QString& valore)
{
    if (!m_inAggiornamento)
        throw std::logic_error("FileIni::imposta fuori da aggiorna");
    if (esiste(sezione, chiave) && leggiTesto(sezione, chiave) == valore)
        return;
    d->ini.SetValue(sezione.toUtf8().constData(), chiave.toUtf8().constData(), valore.toUtf8().constData());
    m_cambiato = true;
}

void FileIni::aggiorna(const std::function<void(FileIni&)>& modifica)
{
    // Every copy of the application using this file takes the same lock. A copy killed while
    // holding it leaves a lock file whose process is gone, which the next copy takes over at
    // once. The lock is held for the milliseconds of one read and one write, so a lock older
    // than a few seconds is one nobody holds.
    const QString fileBlocco = m_percorso + QStringLiteral(".lock");
    QLockFile blocco(fileBlocco);
    blocco.setStaleLockTime(5000);
    QElapsedTimer attesa;
    attesa.start();
    while (!blocco.tryLock(100)) {
        if (blocco.error() != QLockFile::LockFailedError || attesa.elapsed() > 15000)
            throw ErroreIni(ErroreIni::Tipo::Scrittura, assoluto(fileBlocco));
        rimuoviBlocchiVuoti(fileBlocco);
    }
    ricarica();
    m_inAggiornamento = true;
    m_cambiato = false;
    try {
        modifica(*this);
    } catch (...) {
        m_inAggiornamento = false;
        throw;
    }
    m_inAggiornamento = false;
    if (m_cambiato)
        salva();
}

void FileIni::salva()
{
    std::string testo;
    if (d->ini.Save(testo) < 0)
        throw ErroreIni(ErroreIni::Tipo::Scrittura, assoluto(m_percorso));
    // A temporary file beside it, flushed and renamed over it: a kill or a full disk leaves
    // either the old file or the new one, never an empty or cut one. The flush is checked
    // here because commit() renames even a file whose last buffer did not fit on the disk.
    QSaveFile f(m_percorso);
    if (!f.open(QIODevice::WriteOnly) || f.write(testo.data(), qint64(testo.size())) != qint64(testo.size()) || !f.flush()
        || !f.commit()) {
        const QString motivo = f.errorString();
        f.cancelWriting();
        throw ErroreIni(ErroreIni::Tipo::Scrittura, assoluto(m_percorso) + QStringLiteral(": ") + motivo);
    }
}
