#pragma once
// The layout of a punch file: fixed columns, one punch a line, kept in PRES.INI [File_acq].
// Positions count from 1 and count bytes, as in the 8-bit files these layouts were made for.

#include <QString>

class FileIni;

struct FormatoFileAcq {
    // Before the user describes a layout: badge in columns 1-10, direction in 11 ("E"/"U"),
    // date in 12-19 (GGMMAAAA), time in 20-23, no cause. A correct layout, so that a page
    // opened on a PRES.INI without [File_acq] has nothing to complain about.
    int PosizBadge = 1;     // 1..300
    int LunghBadge = 10;    // 0..10
    int PosizCausale = 0;   // 0..300
    int LunghCausale = 0;   // 0..4
    int PosizVerso = 11;    // 1..300
    QString CarIngresso = QStringLiteral("E");  // one character
    QString CarUscita = QStringLiteral("U");    // one character
    int PosizData = 12;     // 1..300
    QString FormatoData = QStringLiteral("GGMMAAAA");  // the date layout as the user sees it (Costanti8 "TData" Descr)
    int PosizOra = 20;      // 1..300
    int LunghOra = 4;       // 0..8; the time is always four digits, this only counts in the check

    bool operator==(const FormatoFileAcq&) const = default;
};

namespace FormatoFile {

// Results of the layout check.
enum Verifica { Corretto = 0, Sovrapposto = 1, TroppoLungo = 2 };

// Every integer key above 0 and every non-empty text key of [File_acq] replaces its field
// (an integer held to its field's range, as the control would); missing keys leave the
// fields as they are.
void Carica(const FileIni& ini, FormatoFileAcq& f);
// Writes every key in the section's order, "FormatoData" only when a layout is chosen, in
// one locked replacement of the file. Throws ErroreIni.
void Salva(FileIni& ini, const FormatoFileAcq& f);

// 0 correct, 1 two fields overlap, 2 the last field ends after column 256 (wins over 1).
Verifica Controlla(const FormatoFileAcq& f);
// The message that explains a failed check (0 for a correct layout).
int Messaggio(Verifica v);

}  // namespace FormatoFile
