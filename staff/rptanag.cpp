#include "rptanag.h"

#include "tdtmanagrafico.h"
#include "tdtmpresenze.h"

DocumentoStampa TrptAnag::Crea(const QString& titolo)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_anag.dtm(), titolo, true);
    // Department, qualification and rotation names are the long ones; dates and codes fixed.
    doc.colonne = {{QStringLiteral("Matricola"), 10}, {QStringLiteral("Cognome"), 14}, {QStringLiteral("Nome"), 11},
                   {QStringLiteral("Badge"), 10},     {QStringLiteral("Assunz"), 9},   {QStringLiteral("Licenz"), 9},
                   {QStringLiteral("Reparto"), 18},   {QStringLiteral("Livello"), 8},  {QStringLiteral("Qualifica"), 14},
                   {QStringLiteral("Stra"), 4},       {QStringLiteral("Turno"), 18},   {QStringLiteral("Orario Festivo"), 10}};
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
