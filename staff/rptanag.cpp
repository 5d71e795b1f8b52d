#include "rptanag.h"

#include "tdtmanagrafico.h"
#include "tdtmpresenze.h"

DocumentoStampa TrptAnag::Crea(const QString& titolo)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_anag.dtm(), titolo, true);
    doc.colonne = {{QStringLiteral("Matricola"), 10}, {QStringLiteral("Cognome"), 16}, {QStringLiteral("Nome"), 12},
                   {QStringLiteral("Badge"), 10},     {QStringLiteral("Assunz"), 10},  {QStringLiteral("Licenz"), 10},
                   {QStringLiteral("Reparto"), 14},   {QStringLiteral("Livello"), 9},  {QStringLiteral("Qualifica"), 12},
                   {QStringLiteral("Stra"), 4},       {QStringLiteral("Turno"), 12},   {QStringLiteral("Orario Festivo"), 12}};
    if (m_note)
        doc.colonne.append({QStringLiteral("Note"), 24});
    const QString formato = QStringLiteral("dd/MM/yyyy");
    for (const DatiDipendente& d : m_anag.Elenco(OrdineAnag::Nominativo)) {
        QStringList celle{d.Matricola,
                          d.Cognome,
                          d.Nome,
                          d.Codice,
                          d.DataAssunz.toString(formato),
                          d.DataLicenz.toString(formato),
                          d.DescrPianta,
                          d.Libero,
                          d.DescrRuolo,
                          d.ConProfilo ? (d.Autorizzato ? QStringLiteral("S") : QStringLiteral("N")) : QString(),
                          d.DescrTurno,
                          d.DescrOrFest};
        if (m_note)
            celle << d.Note;
        doc.aggiungiRiga(celle);
    }
    return doc;
}
