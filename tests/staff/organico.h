#pragma once
// A small organisation for the organisation chart tests. Unit 4 is stored before its parent
// 6, as a move leaves it; two departments are both called "Amministrazione".
//
//  Reparti (UnitaPianta)                 Qualifiche (UnitaRuolo)
//   1 Azienda                              1 Qualifiche
//     2 Produzione                           2 Operaio
//       5 Amministrazione                      4 Operaio specializzato
//       6 Stampaggio                         3 Impiegato
//         4 Presse
//     3 Amministrazione
//
//  Id Cognome  Badge  Profili (reparto/qualifica)       Nomina
//   1 Rossi    si     4/4                                1
//   2 Bianchi  si     2/2                                1
//   3 D'Amico  si     3/3                                1
//   4 Verdi    si     5/3                                1
//   5 Neri     no     2/2                                1
//   6 Gialli   si     2/2 dal 2020, 6/4 dal 2023          1
//   7 Blu      si     2/2                                99, missing from Nomine

#include "anagrafe.h"

namespace Organico {

enum Reparto : int { Azienda = 1, Produzione, Amministrazione, Presse, AmministrazioneProd, Stampaggio };
enum Qualifica : int { Qualifiche = 1, Operaio, Impiegato, Specializzato };

inline void unita(Ambiente& amb, const char* tabella, int id, int padre, const QString& descr)
{
    const QString campo = QLatin1String(tabella) == QLatin1String("UnitaPianta") ? QStringLiteral("IdPiantaPadre") : QStringLiteral("IdRuoloPadre");
    amb.esegui(QStringLiteral("INSERT INTO %1 (Id, Descr, %2) VALUES (:id, :descr, :padre)").arg(QLatin1String(tabella), campo),
               {{"id", id}, {"descr", descr}, {"padre", padre}});
}

inline void popola(Ambiente& amb)
{
    const char* P = "UnitaPianta";
    unita(amb, P, Produzione, Azienda, QStringLiteral("Produzione"));
    unita(amb, P, Amministrazione, Azienda, QStringLiteral("Amministrazione"));
    unita(amb, P, Presse, Stampaggio, QStringLiteral("Presse"));
    unita(amb, P, AmministrazioneProd, Produzione, QStringLiteral("Amministrazione"));
    unita(amb, P, Stampaggio, Produzione, QStringLiteral("Stampaggio"));
    const char* R = "UnitaRuolo";
    unita(amb, R, Operaio, Qualifiche, QStringLiteral("Operaio"));
    unita(amb, R, Impiegato, Qualifiche, QStringLiteral("Impiegato"));
    unita(amb, R, Specializzato, Operaio, QStringLiteral("Operaio specializzato"));

    using namespace Anagrafe;
    const struct {
        int id;
        const char* cognome;
        bool badge;
        int reparto, qualifica;
    } persone[] = {{1, "Rossi", true, Presse, Specializzato},          {2, "Bianchi", true, Produzione, Operaio},
                   {3, "D'Amico", true, Amministrazione, Impiegato},    {4, "Verdi", true, AmministrazioneProd, Impiegato},
                   {5, "Neri", false, Produzione, Operaio},             {6, "Gialli", true, Produzione, Operaio},
                   {7, "Blu", true, Produzione, Operaio}};
    for (const auto& p : persone) {
        persona(amb, p.id, QString::number(p.id).rightJustified(10, QLatin1Char('0')).toLatin1().constData(), QString::fromUtf8(p.cognome),
                "Nome", "Livello 2", "D");
        if (p.badge)
            badge(amb, p.id, QString::number(500 + p.id).rightJustified(10, QLatin1Char('0')).toLatin1().constData());
        profilo(amb, p.id, p.reparto, p.qualifica, 2020);
    }
    profilo(amb, 6, Stampaggio, Specializzato, 2023);
    amb.esegui(QStringLiteral("UPDATE Profilo SET IdNomina = 99 WHERE IdUtilizzatore = 7"));
}

}  // namespace Organico
