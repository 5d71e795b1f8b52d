#pragma once
// Import of punches from a fixed-column text file, one punch a line, in the layout of
// [File_acq]. Every line stands alone: a refused line is listed with its number and code and
// the import goes on; only a date that does not exist (31 April) stops it. A punch is given
// to the employee whose badge was valid at the punch's date and time, and a line whose
// employee already has a punch recorded at that time is a duplicate, whatever processing
// did since to the valid time: importing a file again stores nothing new.

#include "formatofile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

class Avanzamento;
class TdtmPresenze;

// What one line says, before the database is asked.
struct TimbraturaLetta {
    QString badge;   // ten digits
    QString verso;   // "E", "U", or empty when the character is neither
    QDate giorno;
    int minuti = 0;  // from midnight of giorno; hours past 24 move into the next days
    QString caus;    // empty for "0000"
};

struct AvvisoImport {
    int riga = 0;    // from 1
    int codice = 0;  // an Errori number

    bool operator==(const AvvisoImport&) const = default;
};

struct EsitoImportTimbrature {
    bool eseguita = false;    // false: the layout check failed and nothing was read
    bool letturaFallita = false;
    int righe = 0;
    int importate = 0;
    int rigaDataInesistente = 0;  // the line whose date stopped the import, 0 when none did
    bool annullato = false;
    QList<AvvisoImport> avvisi;

    // Every line was imported.
    bool completa() const
    {
        return eseguita && !letturaFallita && !rigaDataInesistente && !annullato && avvisi.isEmpty();
    }
};

class ImportaTimbrature {
public:
    // Reads the date layouts of the user's language (Costanti8 "TData").
    ImportaTimbrature(TdtmPresenze& dtm, const FormatoFileAcq& formato);

    // A line's result before the database: 0, or the code that refuses it (2601 badge,
    // 4113 date, 8004 time), or DataInesistente. `riga` holds the line's bytes, no line end.
    static constexpr int DataInesistente = -1;
    int LeggiRiga(QByteArrayView riga, TimbraturaLetta* t) const;

    // Imports the file: nothing when the layout check fails. Progress goes to
    // `avanzamento`, one unit a line. Throws ErroreDb: the lines already imported stay.
    EsitoImportTimbrature Importa(const QString& file, Avanzamento& avanzamento);

    // "Riga 12: 2601 <reason>", in the user's language.
    QString Descrivi(const AvvisoImport& a) const;

private:
    struct Campi;
    struct Istruzioni;
    int leggi(QByteArrayView riga, Campi* c) const;
    int importaRiga(QByteArrayView riga, Istruzioni& q);

    TdtmPresenze& m_dtm;
    FormatoFileAcq m_formato;
    QString m_codiceData;  // TDataCod of the chosen layout, empty when it is not one of the list
    QByteArray m_partiData;  // m_codiceData as one byte a column
    int m_carIngresso = -1, m_carUscita = -1;  // the direction characters as bytes, -1 when none can match
};
