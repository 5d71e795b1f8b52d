#include "rptorari.h"

#include "tdtmorari.h"
#include "tdtmpresenze.h"
#include "testiora.h"

DocumentoStampa TrptOrari::Crea(const QString& titolo)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_orari.dtm(), titolo, true);
    doc.colonne = {{QStringLiteral("Descrizione"), 30},    {QStringLiteral("Timbr. prima"), 8, true},
                   {QStringLiteral("Timbr. ultima"), 8, true}, {QStringLiteral("Ore medie"), 8, true},
                   {QStringLiteral("Chiusura"), 18},         {QStringLiteral("Arr. ingresso"), 8, true},
                   {QStringLiteral("Arr. uscita"), 8, true},  {QStringLiteral("Stra. minimo"), 8, true},
                   {QStringLiteral("Stra. arrot."), 8, true}};
    const QString stessoGiorno = QStringLiteral("A");
    QString descrStesso, descrAltro;
    for (const CodiceDescr& c : m_orari.Chiusure()) {
        if (c.codice == stessoGiorno)
            descrStesso = c.descr;
        else if (descrAltro.isEmpty())
            descrAltro = c.descr;
    }
    const auto passo = [](const std::optional<int>& p) { return p ? QString::number(*p) : QString(); };
    for (const DatiOrario& o : m_orari.Elenco()) {
        // The minimum is where the "I" band ends; the step is that of the other band.
        int minimo = 0;
        QString arrot;
        for (const FasciaStra& f : o.Fasce) {
            if (f.TipoArrot == QLatin1String("I"))
                minimo = f.Fine + 1;
            else if (arrot.isEmpty())
                arrot = f.MinutiArrot.toString();
        }
        doc.aggiungiRiga({o.Descr, TestiOra::OrologioMinuti(o.PrimaTimb), TestiOra::OrologioMinuti(o.UltimaTimb),
                          TestiOra::OrologioMinuti(o.OreMedie), o.ChiusGio == stessoGiorno ? descrStesso : descrAltro,
                          passo(o.PassoEntrata), passo(o.PassoUscita), QString::number(minimo), arrot});
    }
    return doc;
}
