#include "catalogo.h"

#include "fileini.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QSqlQuery>

namespace Stampa {

QList<VoceCatalogo> Catalogo(TdtmPresenze& dtm, const QString& gruppo)
{
    QSqlQuery q = dtm.db().esegui(QStringLiteral("SELECT CodStampa, Descr FROM Costanti7\n"
                                                 "  WHERE TipoStampa = :Gruppo AND Lingua = :Lingua\n"
                                                 "  ORDER BY TipoStampa, Lingua, CodStampa"),
                                  {{"Gruppo", gruppo}, {"Lingua", QString(dtm.cfg().Lingua)}});
    QList<VoceCatalogo> voci;
    while (q.next())
        voci.append({q.value(0).toInt(), q.value(1).toString()});
    return voci;
}

QString DescrizioneStampa(TdtmPresenze& dtm, const QString& gruppo, int codice)
{
    for (const VoceCatalogo& v : Catalogo(dtm, gruppo))
        if (v.codice == codice)
            return v.descrizione;
    return {};
}

void ImpostaAnteprima(TdtmPresenze& dtm, bool anteprima)
{
    if (dtm.mem().Preview == anteprima)
        return;
    dtm.mem().Preview = anteprima;
    try {
        dtm.ini().scriviBooleano(Ini::Config, QStringLiteral("Preview"), anteprima);
    } catch (const ErroreIni& e) {
        // The choice holds for this run; the next start finds the old one.
        dtm.MostraErroreCon(Msg::ErrIni, e.dettaglio());
    }
}

}  // namespace Stampa
