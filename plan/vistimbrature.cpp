#include "vistimbrature.h"

#include "tdtmpresenze.h"
#include "testiora.h"

#include <QSqlQuery>

namespace VisTimbrature {

namespace {

const QString kBlanchiTra(4, QLatin1Char(' '));

}  // namespace

QString Testo(const QString& lettera, const QDateTime& ora, bool spaziSeVuota)
{
    QString t = lettera + kBlanchiTra;
    if (ora.isValid())
        t += TestiOra::FormatoOra(QLatin1Char(':'), ora.time());
    else if (spaziSeVuota)
        t += QString(5, QLatin1Char(' '));
    return t.left(kLunghezzaTesto);
}

QString Lettera(const TdtmPresenze& dtm, const QString& verso)
{
    QString l;
    if (verso == QLatin1String("E"))
        l = dtm.mem().LetteraE;
    else if (verso == QLatin1String("U"))
        l = dtm.mem().LetteraU;
    // The columns line up only when every row starts with exactly one character.
    return l.isEmpty() ? QStringLiteral(" ") : l.left(1);
}

TimbratureGiorno Leggi(TdtmPresenze& dtm, int idDip, const QDate& giorno)
{
    // The left join keeps the employee's row when the day has no punches: the name still
    // makes the caption and the grid shows one blank row.
    QSqlQuery q = dtm.db().esegui(QStringLiteral("SELECT\n"
                                                 "  A.Cognome,\n"
                                                 "  A.Nome,\n"
                                                 "  T.IdDip,\n"
                                                 "  T.DataV,\n"
                                                 "  T.DataO,\n"
                                                 "  T.VersoV,\n"
                                                 "  T.VersoO\n"
                                                 "FROM\n"
                                                 "  Anagrafico A LEFT OUTER JOIN\n"
                                                 "  Timbrature T ON\n"
                                                 "  A.Id = T.IdDip AND\n"
                                                 "  T.IdDip=:IdDip    AND\n"
                                                 "  :Data1 <= T.DataV AND\n"
                                                 "  T.DataV < :Data2\n"
                                                 "WHERE\n"
                                                 "  A.Id = :IdDip\n"
                                                 "ORDER BY T.DataV"),
                                  {{"IdDip", idDip}, {"Data1", Sql::data(giorno)}, {"Data2", Sql::data(giorno.addDays(1))}});
    TimbratureGiorno g;
    while (q.next()) {
        if (!g.trovato) {
            g.trovato = true;
            g.Cognome = q.value(0).toString();
            g.Nome = q.value(1).toString();
        }
        RigaVisTimb r;
        r.Originali = Testo(Lettera(dtm, q.value(6).toString()), Sql::leggiDataOra(q.value(4)), true);
        r.Variate = Testo(Lettera(dtm, q.value(5).toString()), Sql::leggiDataOra(q.value(3)), false);
        g.righe.append(r);
    }
    return g;
}

}  // namespace VisTimbrature
