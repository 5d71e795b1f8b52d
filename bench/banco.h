#pragma once
// What the benchmarks that work on a demo company share: the engine chosen on the command
// line, the company's database on a server, and the company processed through the batch path.

#include "avanzamento.h"
#include "database.h"
#include "demo.h"
#include "dialetto.h"
#include "tdtmelab.h"
#include "tdtmpresenze.h"

#include <QDate>
#include <QFile>
#include <QSqlQuery>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace Banco {

// `--motore sqlite|postgres` among the arguments (SQLite when absent); false, with the reason
// printed, for any other name.
inline bool motore(const QStringList& a, Dialetto::Motore* m)
{
    *m = Dialetto::Motore::SQLite;
    const int i = int(a.indexOf(QStringLiteral("--motore")));
    if (i < 0)
        return true;
    const QString nome = a.value(i + 1);
    if (nome.compare(QLatin1String("postgres"), Qt::CaseInsensitive) == 0) {
        *m = Dialetto::Motore::PostgreSQL;
        return true;
    }
    if (Dialetto::motoreDaNome(nome, m))
        return true;
    std::fprintf(stderr, "--motore: sqlite o postgres\n");
    return false;
}

// A new, empty database `nome` on the server the standard client variables name (PGHOST,
// PGPORT, PGUSER, as the PRES.INI keys left empty take them), and the PRES.INI `ini` that
// names it. Throws ErroreDb when the server refuses.
inline Connessione aziendaSuServer(const QString& ini, const QString& nome)
{
    QFile f(ini);
    if (!f.open(QIODevice::WriteOnly) || f.write("[Ambiente START]\nMotore=PostgreSQL\nDatabase=" + nome.toUtf8() + "\n") <= 0)
        throw ErroreDb(QStringLiteral("%1: %2").arg(ini, f.errorString()));
    Connessione c;
    c.motore = Dialetto::Motore::PostgreSQL;
    c.database = nome;
    c = c.completata();
    Database::eliminaSuServer(c);
    Database::creaSuServer(c);
    return c;
}

// A database on a server, dropped when the run ends.
struct DatabaseServer {
    std::optional<Connessione> c;
    ~DatabaseServer()
    {
        if (!c)
            return;
        try {
            Database::eliminaSuServer(*c);
        } catch (const ErroreDb& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        }
    }
};

// The demo company of `dipendenti` employees with `giorni` days of punches up to the day
// before `oggi`, created in the databases `ini` names, with `dtm` left open on it.
inline RisultatoDemo creaDemo(TdtmPresenze& dtm, const QString& ini, int dipendenti, int giorni, const QDate& oggi)
{
    dtm.Apri(ini, TdtmPresenze::ModoCreazione::Sempre);
    dtm.setOggi(oggi);
    OpzioniDemo o;
    o.dipendenti = dipendenti;
    o.giorni = giorni;
    o.oggi = oggi;
    return GeneraDemo(dtm, o);
}

// Every employee of the company processed over [dal, al], as the "elabora" command does it;
// the error is printed.
inline EsitoElaborazione elaboraTutti(TdtmPresenze& dtm, const QDate& dal, const QDate& al)
{
    QList<int> ids;
    QSqlQuery q = dtm.db().esegui(QStringLiteral("SELECT Id FROM Anagrafico ORDER BY Id"));
    while (q.next())
        ids << q.value(0).toInt();
    q.finish();
    TdtmElab elab(dtm);
    elab.setFinePianoMostrato(al);
    AvanzamentoNullo avanzamento;
    EsitoElaborazione esito = elab.ElaboraDipendenti(ids, dal, al, avanzamento);
    if (!esito.Errore.isEmpty())
        std::fprintf(stderr, "errore: %s\n", qPrintable(esito.Errore));
    return esito;
}

}  // namespace Banco
