#include "copiasicurezza.h"

#include "avanzamento.h"
#include "messaggi.h"
#include "tabelle.h"
#include "tdtmpresenze.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace CopiaSicurezza {

namespace {

const QString kProgramma = QStringLiteral("Quorlin");

QString nel(const QDir& d, const char* nome)
{
    return d.filePath(QLatin1String(nome));
}

void scriviSegno(const QDir& d, const Database& db)
{
    const QByteArray testo = QStringLiteral("[Copia]\nProgramma=%1\nVersioneSchema=%2\nMotore=%3\nOrigine=%4\nData=%5\n")
                                 .arg(kProgramma)
                                 .arg(Schema::kVersione)
                                 .arg(Dialetto::nomeMotore(db.dialetto().motore()), db.descrizione(),
                                      QDateTime::currentDateTime().toString(Qt::ISODate))
                                 .toUtf8();
    QSaveFile f(nel(d, kSegno));
    if (!f.open(QIODevice::WriteOnly) || f.write(testo) != testo.size() || !f.commit())
        throw Migrazione::Errore(Msg::ErrCopia, QDir::toNativeSeparators(f.fileName()) + QStringLiteral(": ") + f.errorString());
}

}  // namespace

void Salva(TdtmPresenze& dtm, const QString& cartella, Avanzamento& avanzamento, const QString& titolo)
{
    const QFileInfo fi(cartella);
    const QDir d(fi.absoluteFilePath());
    if ((fi.exists() && !fi.isDir()) || (fi.isDir() && !d.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)))
        throw Migrazione::Errore(Msg::ErrCartellaCopia, QDir::toNativeSeparators(fi.absoluteFilePath()));
    if (!QDir().mkpath(d.path()))
        throw Migrazione::Errore(Msg::ErrCopia, QDir::toNativeSeparators(d.path()));
    Database& db = dtm.db();
    const auto pulisci = [&] {
        for (const char* nome : {kSegno, kProduzione, kLavoro})
            QFile::remove(nel(d, nome));
    };
    try {
        if (db.dialetto().motore() == Dialetto::Motore::SQLite) {
            const bool lavoro = db.lavoroAperto();
            avanzamento.Inizia(titolo, lavoro ? 2 : 1);
            db.copiaInFile(nel(d, kProduzione), false);
            avanzamento.Valore(1);
            if (lavoro) {
                db.copiaInFile(nel(d, kLavoro), true);
                avanzamento.Valore(2);
            }
            avanzamento.Termina();
        } else {
            Migrazione::Copia(db.connessioneAperta(), Connessione::sqlite(nel(d, kProduzione)), false, avanzamento, titolo);
        }
        scriviSegno(d, db);
    } catch (...) {
        avanzamento.Termina();
        pulisci();
        throw;
    }
}

Migrazione::Esito Ripristina(TdtmPresenze& dtm, const QString& copia, Avanzamento& avanzamento, const QString& titolo)
{
    const QFileInfo fi(copia);
    const QDir d(fi.isDir() ? fi.absoluteFilePath() : fi.absolutePath());
    const QString dove = QDir::toNativeSeparators(d.path());
    if (!fi.exists() || (!fi.isDir() && fi.fileName().compare(QLatin1String(kSegno), Qt::CaseInsensitive) != 0))
        throw Migrazione::Errore(Msg::ErrNonCopia, QDir::toNativeSeparators(fi.absoluteFilePath()));
    const QSettings segno(nel(d, kSegno), QSettings::IniFormat);
    if (segno.status() != QSettings::NoError || segno.value(QStringLiteral("Copia/Programma")).toString() != kProgramma)
        throw Migrazione::Errore(Msg::ErrNonCopia, dove + QStringLiteral(": ") + QLatin1String(kSegno));
    const int versione = segno.value(QStringLiteral("Copia/VersioneSchema")).toInt();
    if (versione != Schema::kVersione)
        throw Migrazione::Errore(Msg::ErrNonCopia, QStringLiteral("%1: VersioneSchema=%2 (%3)").arg(dove).arg(versione).arg(Schema::kVersione));
    if (!QFileInfo(nel(d, kProduzione)).isFile())
        throw Migrazione::Errore(Msg::ErrNonCopia, QDir::toNativeSeparators(nel(d, kProduzione)));
    const Connessione destinazione = dtm.ConnessioneProduzione();
    if (Database::inUsoDaAltri(destinazione))
        throw Migrazione::Errore(Msg::ErrDbInUso, destinazione.descrizione());
    return Migrazione::Copia(Connessione::sqlite(nel(d, kProduzione)), destinazione, true, avanzamento, titolo);
}

}  // namespace CopiaSicurezza
