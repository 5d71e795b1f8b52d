#pragma once
// The content of a production database as text, to compare two databases of either engine.

#include "database.h"
#include "tabelle.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

// Every row of every production table, ordered by the table's key, then by its other fields.
QStringList righe(const Database& db)
{
    QStringList tutte;
    for (const Tabella& t : Schema::tabelle()) {
        if (t.archivio != Archivio::Presenze)
            continue;
        QStringList ordine, campi;
        for (const Indice& i : t.indici)
            if (i.unico && ordine.isEmpty())
                ordine = i.campi;
        for (const Campo& c : t.campi) {
            campi << c.nome;
            if (!ordine.contains(c.nome))
                ordine << c.nome;
        }
        QSqlQuery q = db.esegui(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                    .arg(campi.join(QStringLiteral(", ")), t.nome, ordine.join(QStringLiteral(", "))));
        while (q.next()) {
            QStringList r{t.nome};
            for (int c = 0; c < campi.size(); ++c)
                r << (q.isNull(c) ? QStringLiteral("\\N") : q.value(c).toString());
            tutte << r.join(QLatin1Char('|'));
        }
    }
    return tutte;
}

QStringList righe(const Connessione& c)
{
    Database db;
    db.apri(c, false);
    return righe(db);
}

}  // namespace
