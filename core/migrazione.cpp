#include "migrazione.h"

#include "avanzamento.h"
#include "creazione.h"
#include "messaggi.h"
#include "tabelle.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include <climits>
#include <optional>

namespace Migrazione {

namespace {

// Bound values per statement: within the smallest limit of either engine (999 in older
// SQLite builds). Rows go in groups, since one statement per row is what a copy to a server
// spends its time on.
constexpr int kValoriPerIstruzione = 900;
constexpr int kRighePerIstruzione = 100;

QList<const Tabella*> tabelleDiProduzione()
{
    QList<const Tabella*> l;
    for (const Tabella& t : Schema::tabelle())
        if (t.archivio == Archivio::Presenze)
            l << &t;
    return l;
}

void apri(Database& db, const Connessione& c, bool crea)
{
    try {
        db.apri(c, crea);
    } catch (const ErroreDb& e) {
        // Not reaching a database is a failure to open it, never a connection lost midway.
        throw Errore(Msg::ErrApertura, e.testo());
    }
}

// Declared production tables present in the database (lower case); throws when the database
// holds tables but none of ours, or comes from a later release.
QStringList controllaNostro(const Database& db)
{
    QStringList nostre;
    const QStringList tabelle = db.tabelleEsistenti(false);
    for (const QString& t : tabelle) {
        const Tabella* dichiarata = Schema::tabella(t);
        if (dichiarata && dichiarata->archivio == Archivio::Presenze)
            nostre << t.toLower();
    }
    if (!tabelle.isEmpty() && nostre.isEmpty())
        throw Errore(Msg::ErrDbEstraneo, db.descrizione());
    const int versione = nostre.isEmpty() ? 0 : Creazione::versioneSchema(db);
    if (versione > Schema::kVersione)
        throw Errore(Msg::ErrDbRecente, QStringLiteral("%1 (%2 > %3)").arg(db.descrizione()).arg(versione).arg(Schema::kVersione));
    return nostre;
}

void controllaOrigine(const Database& db)
{
    if (controllaNostro(db).isEmpty())
        throw Errore(Msg::ErrDbVuoto, db.descrizione());
    // The target is made at this release's schema: an older source would come out of the copy
    // claiming a version its tables no longer have.
    const int versione = Creazione::versioneSchema(db);
    if (versione < Schema::kVersione)
        throw Errore(Msg::ErrOrigineDaAggiornare, QStringLiteral("%1 (%2 < %3)").arg(db.descrizione()).arg(versione).arg(Schema::kVersione));
    const QStringList mancanti = Creazione::mancanti(db);
    if (!mancanti.isEmpty())
        throw Errore(Msg::ErrDbIncompleto, db.descrizione() + QStringLiteral(": ") + mancanti.join(QStringLiteral(", ")));
}

qint64 conta(const Database& db, const Tabella& t)
{
    return db.valore(QStringLiteral("SELECT COUNT(*) FROM ") + t.nome).toLongLong();
}

QString inserimento(const Tabella& t, int righe)
{
    QStringList campi, riga;
    for (const Campo& c : t.campi) {
        campi << c.nome;
        riga << QStringLiteral("?");
    }
    const QString valori = QLatin1Char('(') + riga.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList tutte;
    for (int n = 0; n < righe; ++n)
        tutte << valori;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3").arg(t.nome, campi.join(QStringLiteral(", ")), tutte.join(QStringLiteral(", ")));
}

// Copies every row of `t`; returns how many were read.
qint64 copiaTabella(Database& origine, Database& destinazione, const Tabella& t, Avanzamento& avanzamento, qint64* fatte)
{
    const int nCampi = int(t.campi.size());
    const int perIstruzione = qBound(1, kValoriPerIstruzione / nCampi, kRighePerIstruzione);
    QStringList campi;
    for (const Campo& c : t.campi)
        campi << c.nome;
    QSqlQuery leggi = origine.esegui(QStringLiteral("SELECT %1 FROM %2").arg(campi.join(QStringLiteral(", ")), t.nome));
    std::optional<QSqlQuery> piena;
    QVariantList valori;
    valori.reserve(perIstruzione * nCampi);
    qint64 lette = 0;
    const auto scrivi = [&](QSqlQuery& q) {
        for (int i = 0; i < valori.size(); ++i)
            q.bindValue(i, valori.at(i));
        Database::esegui(q);
        *fatte += valori.size() / nCampi;
        valori.clear();
        avanzamento.Valore(int(qMin<qint64>(*fatte, INT_MAX)));
    };
    while (leggi.next()) {
        // Every value as the source holds it: date-times stay the stored text, NULL stays NULL.
        for (int c = 0; c < nCampi; ++c)
            valori << leggi.value(c);
        ++lette;
        if (valori.size() == perIstruzione * nCampi) {
            if (!piena)
                piena = destinazione.prepara(inserimento(t, perIstruzione));
            scrivi(*piena);
        }
    }
    if (!valori.isEmpty()) {
        QSqlQuery resto = destinazione.prepara(inserimento(t, int(valori.size() / nCampi)));
        scrivi(resto);
    }
    return lette;
}

Esito copia(Database& origine, Database& destinazione, bool sostituisci, Avanzamento& avanzamento, const QString& titolo)
{
    const QStringList presenti = controllaNostro(destinazione);
    const QList<const Tabella*> tabelle = tabelleDiProduzione();

    Transazione lettura(origine);
    Transazione scrittura(destinazione, Durata::Piena);
    bool piena = false;
    for (const Tabella* t : tabelle)
        piena = piena || (presenti.contains(t->nome.toLower()) && destinazione.esisteRiga(QStringLiteral("SELECT 1 FROM ") + t->nome));
    if (piena && !sostituisci)
        throw Errore(Msg::ErrDestinazionePiena, destinazione.descrizione());
    Creazione::creaTabelle(destinazione);
    if (piena)
        for (const Tabella* t : tabelle)
            destinazione.esegui(QStringLiteral("DELETE FROM ") + t->nome);

    QHash<QString, qint64> attese;
    qint64 totale = 0;
    for (const Tabella* t : tabelle)
        totale += attese[t->nome] = conta(origine, *t);
    Esito esito;
    avanzamento.Inizia(titolo, int(qMin<qint64>(totale, INT_MAX)));
    QHash<QString, qint64> lette;
    for (const Tabella* t : tabelle)
        lette[t->nome] = copiaTabella(origine, destinazione, *t, avanzamento, &esito.righe);
    // Counted again once everything is written, each side in its own transaction.
    for (const Tabella* t : tabelle) {
        const qint64 scritte = conta(destinazione, *t);
        if (lette.value(t->nome) != attese.value(t->nome) || scritte != attese.value(t->nome))
            throw Errore(Msg::ErrConteggioCopia, QStringLiteral("%1: %2 / %3").arg(t->nome).arg(attese.value(t->nome)).arg(scritte));
        ++esito.tabelle;
    }
    scrittura.conferma();
    return esito;
}

}  // namespace

Esito Copia(const Connessione& da, const Connessione& a, bool sostituisci, Avanzamento& avanzamento, const QString& titolo)
{
    Database origine, destinazione;
    apri(origine, da, false);
    const bool nuovoFile = a.motore == Dialetto::Motore::SQLite && !QFileInfo::exists(a.file);
    // Whatever ends the copy, the run's progress phase ends with it.
    struct Fine {
        Avanzamento& a;
        ~Fine() { a.Termina(); }
    } fine{avanzamento};
    try {
        controllaOrigine(origine);
        apri(destinazione, a, nuovoFile);
        return copia(origine, destinazione, sostituisci, avanzamento, titolo);
    } catch (...) {
        destinazione.chiudi();
        if (nuovoFile)
            for (const char* suffisso : {"", "-wal", "-shm", "-journal"})
                QFile::remove(a.file + QLatin1String(suffisso));
        throw;
    }
}

}  // namespace Migrazione
