#pragma once
// Onboarding from a spreadsheet: employees read from a CSV file and stored as the register's
// editor would store them, all of them or none.
//
// The file is what an Italian spreadsheet saves as CSV: fields separated by ";" (a file whose
// header uses "," is read with ","), UTF-8 with or without byte-order mark (a file that is
// not UTF-8 is read as Windows-1252, the spreadsheets' other choice), fields in double quotes
// where they hold a separator, a quote ("") or a line break. The first line names the columns,
// in any order and case:
//
//   Cognome;Nome;Matricola;Badge;Livello;Reparto;Qualifica;Assunzione;Cessazione;Turno;OrarioFestivo;Straordinario
//
// Cognome, Nome, Badge, Reparto, Qualifica and Assunzione are required, the others may be left
// out. Department and qualification are named by the unit's name, or by its path from the top
// of the tree ("Azienda / Produzione / Montaggio") when several units share the name; rotation
// and holiday timetable by name; dates dd/mm/yyyy; Straordinario S or N (S when empty).
//
// Everything is checked before anything is written: every refused value is reported with its
// line, column and reason, and then nothing is stored. Otherwise all employees are written in
// one transaction, under the write lock in which the badge codes are checked once more.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class Avanzamento;
class TdtmAnagrafico;

// One record of a CSV file: its fields and the line it starts on (from 1).
struct RigaCsv {
    int riga = 0;
    QStringList campi;
};

namespace Csv {

// The file's text: UTF-8 (its byte-order mark dropped), else Windows-1252.
QString Decodifica(const QByteArray& dati);
// ";" unless the first line holds more "," than ";" outside quotes.
QChar Separatore(const QString& testo);
// The records of the text; a quoted field may hold separators, line breaks and "" for a quote.
// Lines that hold nothing but separators and blanks are left out.
QList<RigaCsv> Leggi(const QString& testo, QChar separatore);

}  // namespace Csv

// A refused value: the line (1 is the header), the column as the header names it (empty for
// the whole line), the message that says why and what completes it (a length, a line).
struct ValoreRifiutato {
    int riga = 0;
    QString colonna;
    int errore = 0;
    QString dettaglio;

    bool operator==(const ValoreRifiutato&) const = default;
};

struct EsitoImportazione {
    int importati = 0;
    bool annullato = false;  // stopped by the user: nothing stored
    QList<ValoreRifiutato> rifiutati;
    bool ok() const { return !annullato && rifiutati.isEmpty(); }
};

class ImportaDipendenti {
public:
    explicit ImportaDipendenti(TdtmAnagrafico& anag) : m_anag(anag) {}

    // The columns of the file, in the order the documentation lists them.
    static const QStringList& Colonne();

    // Checks and stores the employees of the file's bytes. Progress goes to `avanzamento`
    // (checking, then storing), which may stop the work: then nothing is stored. Throws
    // ErroreDb (nothing stored).
    EsitoImportazione Importa(const QByteArray& dati, Avanzamento& avanzamento);

    // "Riga 12, colonna Badge: <reason> <detail>", in the user's language.
    QString Descrivi(const ValoreRifiutato& r) const;

private:
    TdtmAnagrafico& m_anag;
};
