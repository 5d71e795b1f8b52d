#include "documento.h"

#include "messaggi.h"

#include "tdtmpresenze.h"

#include <QDir>
#include <QFileInfo>

void DocumentoStampa::aggiungiGruppo(const QString& testo, bool nuovaPagina)
{
    righe.append({RigaStampa::Tipo::Gruppo, {testo}, nuovaPagina});
}

void DocumentoStampa::aggiungiRiga(const QStringList& celle)
{
    righe.append({RigaStampa::Tipo::Dettaglio, celle, false});
}

void DocumentoStampa::aggiungiTotale(const QStringList& etichetteEValori)
{
    righe.append({RigaStampa::Tipo::Totale, etichetteEValori, false});
}

namespace Stampa {

QString FileLogo(const TdtmPresenze& dtm)
{
    return QDir(dtm.cfg().DirApplicazione).filePath(dtm.cfg().NomeProg + QStringLiteral("_rptlogo.bmp"));
}

DocumentoStampa NuovoDocumento(const TdtmPresenze& dtm, const QString& titolo, bool orizzontale)
{
    DocumentoStampa doc;
    doc.fileLogo = FileLogo(dtm);
    if (!QFileInfo(doc.fileLogo).isFile())
        throw ErroreStampa(Msg::ErrLogoMancante, QDir::toNativeSeparators(doc.fileLogo));
    doc.ragioneSociale = dtm.mem().RagSoc;
    doc.applicazione = dtm.cfg().NomeProg;
    doc.titolo = titolo;
    doc.orizzontale = orizzontale;
    doc.stampato = QDateTime::currentDateTime();
    return doc;
}

}  // namespace Stampa
