#pragma once
// A small register for the selection tests: nine people (one guest), badges, profiles in
// three departments and two qualifications. Surnames with a quote, a "%" and a "_" sit
// beside look-alikes that only a wildcard would confuse with them.
//
//  Id Matricola  Cognome    Nome   Libero   Classe Badge      Profili (reparto/qualifica, dal)
//   1 0000000012 Rossi      Mario  Turno A  D      0000000345 12/21 2020, 10/20 2023
//   2 0000000050 Rossini    Anna   Turno B  D      0000000346 11/20 2022
//   3 0000000120 Bianchi    Luca   Turno A  D      0000001000 12/21 2021
//   4 0000000121 Verdi      Carla  -        V      -          -
//   5 0000000007 D'Amico    Paolo  Turno C  D      0000000344 10/21 2022
//   6 0000000300 Sala%Rosa  Elena  -        D      -          -
//   7 0000000301 SalaXRosa  Elena  -        D      -          -
//   8 0000000302 Del_Monte  Ugo    -        D      -          -
//   9 0000000303 DelXMonte  Ugo    -        D      -          -

#include "ambiente.h"
#include "dialetto.h"

#include <QSqlQuery>

namespace Anagrafe {

enum : int { Produzione = 10, Magazzino = 11, Uffici = 12, Operaio = 20, Impiegato = 21 };

inline void persona(Ambiente& amb, int id, const char* matricola, const QString& cognome, const char* nome, const char* libero,
                    const char* classe)
{
    amb.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Libero, Classe) VALUES (:Id, :M, :C, :N, :L, :K)"),
               {{"Id", id}, {"M", QString::fromLatin1(matricola)}, {"C", cognome}, {"N", QString::fromLatin1(nome)},
                {"L", libero ? QVariant(QString::fromLatin1(libero)) : QVariant(QMetaType(QMetaType::QString))},
                {"K", QString::fromLatin1(classe)}});
}

inline void badge(Ambiente& amb, int id, const char* codice)
{
    amb.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, IdUtilizzatore) VALUES (:C, :D, :Id)"),
               {{"C", QString::fromLatin1(codice)}, {"D", Sql::data(QDate(2020, 1, 1))}, {"Id", id}});
}

inline void profilo(Ambiente& amb, int id, int pianta, int ruolo, int anno)
{
    const QVariant d = Sql::data(QDate(anno, 1, 1));
    amb.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, IdNomina, IdAzienda, IdPianta, IdRuolo, DataAssunz, "
                              "ModalTimbra, Autorizzato, TipoOrario, InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, "
                              "InPeriodo5, GestReperib, UltElabVoci) VALUES (:Id, :D, 1, 1, :P, :R, :D, 'T', 'S', 'T', :D, :D, :D, "
                              ":D, :D, :D, 'N', :D)"),
               {{"Id", id}, {"D", d}, {"P", pianta}, {"R", ruolo}});
}

inline void popola(Ambiente& amb)
{
    persona(amb, 1, "0000000012", QStringLiteral("Rossi"), "Mario", "Turno A", "D");
    persona(amb, 2, "0000000050", QStringLiteral("Rossini"), "Anna", "Turno B", "D");
    persona(amb, 3, "0000000120", QStringLiteral("Bianchi"), "Luca", "Turno A", "D");
    persona(amb, 4, "0000000121", QStringLiteral("Verdi"), "Carla", nullptr, "V");
    persona(amb, 5, "0000000007", QStringLiteral("D'Amico"), "Paolo", "Turno C", "D");
    persona(amb, 6, "0000000300", QStringLiteral("Sala%Rosa"), "Elena", nullptr, "D");
    persona(amb, 7, "0000000301", QStringLiteral("SalaXRosa"), "Elena", nullptr, "D");
    persona(amb, 8, "0000000302", QStringLiteral("Del_Monte"), "Ugo", nullptr, "D");
    persona(amb, 9, "0000000303", QStringLiteral("DelXMonte"), "Ugo", nullptr, "D");
    badge(amb, 1, "0000000345");
    badge(amb, 2, "0000000346");
    badge(amb, 3, "0000001000");
    badge(amb, 5, "0000000344");
    for (const auto& [id, descr] : {std::pair{Produzione, "Produzione"}, {Magazzino, "Magazzino"}, {Uffici, "Uffici"}})
        amb.esegui(QStringLiteral("INSERT INTO UnitaPianta (Id, Descr, IdPiantaPadre) VALUES (:Id, :D, 1)"),
                   {{"Id", id}, {"D", QString::fromLatin1(descr)}});
    for (const auto& [id, descr] : {std::pair{Operaio, "Operaio"}, {Impiegato, "Impiegato"}})
        amb.esegui(QStringLiteral("INSERT INTO UnitaRuolo (Id, Descr, IdRuoloPadre) VALUES (:Id, :D, 1)"),
                   {{"Id", id}, {"D", QString::fromLatin1(descr)}});
    profilo(amb, 1, Uffici, Impiegato, 2020);
    profilo(amb, 1, Produzione, Operaio, 2023);
    profilo(amb, 2, Magazzino, Operaio, 2022);
    profilo(amb, 3, Uffici, Impiegato, 2021);
    profilo(amb, 5, Produzione, Impiegato, 2022);
}

// Ids of a statement's first column, in the order read.
inline QList<int> ids(Ambiente& amb, const QString& sql)
{
    QList<int> l;
    QSqlQuery q = amb.db().esegui(sql);
    while (q.next())
        l << q.value(0).toInt();
    return l;
}

// The people of the selection table, by id.
inline QList<int> selezione(Ambiente& amb, const QString& tabella = QStringLiteral("AnagraficoSelezione"))
{
    return ids(amb, QStringLiteral("SELECT Id FROM ':dbPresUt:%1' ORDER BY Id").arg(tabella));
}

inline bool esisteTabella(Ambiente& amb, const QString& tabella)
{
    return amb.db().tabelleEsistenti(true).contains(tabella, Qt::CaseInsensitive);
}

}  // namespace Anagrafe
