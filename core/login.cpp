#include "login.h"

#include "database.h"

#include <QSqlRecord>

namespace Login {

bool Necessario(Database& db)
{
    return db.esisteRiga(QStringLiteral("SELECT 1 FROM UTENTI WHERE IDAPPLICATIVO=1"));
}

int IdApplicativo(Database& db, const QString& nomeProg)
{
    QSqlQuery q = db.esegui(QStringLiteral("SELECT APPLICATIVI.* FROM APPLICATIVI"));
    const int colId = q.record().indexOf(QStringLiteral("ID"));
    const int colDescr = q.record().indexOf(QStringLiteral("DESCRIZIONE"));
    while (q.next())
        if (q.value(colDescr).toString().compare(nomeProg, Qt::CaseInsensitive) == 0)
            return q.value(colId).toInt();
    return 0;
}

bool Verifica(Database& db, const QString& nomeProg, const QString& utente, const QString& password)
{
    const int id = IdApplicativo(db, nomeProg);
    // Text comparison in the database is exact (binary), so letter case counts.
    QSqlQuery q = db.esegui(QStringLiteral("SELECT PASSWORDD FROM UTENTI WHERE USERNAME = :utente AND IDAPPLICATIVO = :app"),
                            {{"utente", utente}, {"app", id}});
    return q.next() && q.value(0).toString() == password;
}

}  // namespace Login
