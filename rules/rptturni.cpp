#include "rptturni.h"

#include "tdtmpresenze.h"
#include "tdtmturni.h"

#include <QLocale>

DocumentoStampa TrptTurni::Crea(const QString& titolo)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_dtm, titolo, false);
    doc.colonne = {{QStringLiteral("Turno"), 30}, {QStringLiteral("Composizione"), 12}, {QStringLiteral("Orario"), 30}};
    TdtmTurni turni(m_dtm);
    for (const VoceElenco& t : turni.ElencoTurni()) {
        doc.aggiungiRiga({t.descr, QString(), QString()});
        for (const GiornoTurno& g : turni.Composizione(t.id))
            doc.aggiungiRiga({QString(), TdtmTurni::NomeGiorno(g.numOrd), g.orario.descr});
    }
    return doc;
}

DocumentoStampa TrptCalend::Crea(const QString& titolo)
{
    DocumentoStampa doc = Stampa::NuovoDocumento(m_dtm, titolo, false);
    doc.selezione = QStringLiteral("Elenco Giorni Festivi");
    doc.colonne = {{QStringLiteral("Data"), 12}, {QStringLiteral("Giorno"), 14}};
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    for (const QDate& d : TdtmTurni(m_dtm).Festivi())
        doc.aggiungiRiga({d.toString(QStringLiteral("dd/MM/yyyy")), italiano.dayName(d.dayOfWeek())});
    return doc;
}
