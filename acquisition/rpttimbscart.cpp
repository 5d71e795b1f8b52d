#include "rpttimbscart.h"

#include "tdtmacquisizione.h"

DocumentoStampa TrptTimbScart::Crea(const QString& titolo)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_dtm, titolo, false);
    doc.colonne = {{QStringLiteral("Badge"), 12, false, true},
                   {QStringLiteral("Data-Ora"), 12, false, true},
                   {QStringLiteral("Verso"), 5, true},
                   {QStringLiteral("Errore"), 50}};
    for (const TimbraturaScartata& s : TdtmAcquisizione(m_dtm).TimbratureScartate())
        doc.aggiungiRiga({s.badge, s.data, s.verso.isNull() ? QString() : QString::number(s.verso.toInt()), s.descrErr});
    return doc;
}
