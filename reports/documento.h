#pragma once
// A report as data: the page header texts, the columns and the lines in print order. The
// work-plan and master-data reports fill one; the page renderer, the preview and the
// text, CSV and HTML writers all read the same document, so every output shows the same
// figures.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

class TdtmPresenze;

struct ColonnaStampa {
    QString titolo;
    // Share of the line width, in average characters of the body font; the renderer scales
    // the columns to the page.
    int larghezza = 10;
    bool destra = false;     // right-aligned (figures)
    bool fissa = false;      // fixed-pitch font (punch texts, so that tokens line up)
};

struct RigaStampa {
    enum class Tipo {
        Gruppo,     // a group heading ("Dipendente ..."), bold, across the whole line
        Dettaglio,  // one cell per column; a cell grows in height when its text needs room
        Totale,     // bold label/value pairs, spread over the line
    };
    Tipo tipo = Tipo::Dettaglio;
    QStringList celle;
    bool nuovaPagina = false;  // the line opens a new page (unless the page is still empty)
};

class DocumentoStampa {
public:
    // Page header
    QString ragioneSociale;  // company name, top left
    QString applicazione;    // application name, top right
    QString titolo;          // page title, bold
    QString selezione;       // the report's own selection line (bold); may be empty
    QString fileLogo;        // logo picture printed in the header
    QDateTime stampato;      // "Data:" and "Ora:" of every page
    bool orizzontale = false;

    QList<ColonnaStampa> colonne;  // titles repeated at the top of every page
    QList<RigaStampa> righe;

    void aggiungiGruppo(const QString& testo, bool nuovaPagina);
    void aggiungiRiga(const QStringList& celle);
    void aggiungiTotale(const QStringList& etichetteEValori);
    bool vuoto() const { return righe.isEmpty(); }
};

// A report that cannot be made; `numero` is the Errori row that explains it and
// `dettaglio` what it concerns (a file name).
class ErroreStampa : public std::runtime_error {
public:
    ErroreStampa(int numero, const QString& dettaglio)
        : std::runtime_error(dettaglio.toStdString()), m_numero(numero), m_dettaglio(dettaglio) {}
    int numero() const { return m_numero; }
    QString dettaglio() const { return m_dettaglio; }

private:
    int m_numero;
    QString m_dettaglio;
};

namespace Stampa {

// The page header common to every report: company name, application name, print date and
// time, and the logo named after the application in the application folder. A missing logo
// stops the report (ErroreStampa Msg::ErrLogoMancante).
DocumentoStampa NuovoDocumento(const TdtmPresenze& dtm, const QString& titolo, bool orizzontale);
QString FileLogo(const TdtmPresenze& dtm);

}  // namespace Stampa
