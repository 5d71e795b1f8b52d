#pragma once
// Rules of the punch editor that need no window: the time as the user types it, the
// checks made before a punch is saved and the punch that is then written. The editor
// (TfrmEdTimbr) only shows what these return, so the rules are tested headless.

#include "tabellatimbrature.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace EditTimbrature {


enum class EsitoOra { Vuota, Valida, NonValida };

// A typed time of day. Without a separator one or two digits are whole hours ("8" is
// 08:00) and longer texts end with two digits of minutes ("745" is 07:45, "0745" too);
// with ":" (or the "." of the punch list) hours and minutes are on either side ("7:45",
// "07.45"). Blanks around the text are ignored; anything else, or a time past 23:59
// ("2575"), is NonValida. `ora` receives the time when Valida.
EsitoOra LeggiOra(const QString& testo, QTime* ora = nullptr);

// The editor's text of a stored time: "hh:mm"; empty for none.
QString TestoOra(const QDateTime& dt);

// What the editor holds when the user confirms: the two time texts as typed and the two
// direction codes (empty when none is chosen).
struct Valori {
    QString oraV;
    QString versoV;
    QString oraO;
    QString versoO;
};

enum class Campo { Nessuno, OraV, VersoV, OraO, VersoO };

// The first field that stops the save and the error to show with the focus on it.
struct Verifica {
    Campo campo = Campo::Nessuno;
    int errore = 0;
    bool ok() const { return campo == Campo::Nessuno; }
};

// The save rules (CheckValues). A time that does not convert is refused first, as the
// field itself refuses it; then the valid time and the valid direction must be given;
// with ModTimbOrig on, an original time and an original direction go together (the empty
// one is named). With ModTimbOrig off the original fields are not looked at: they cannot
// be edited.
Verifica CheckValues(const Valori& v, bool modTimbOrig);

// The punch to write: `base` (the punch being modified, or an empty one for an insert)
// with the employee of the grid row, the valid time and direction typed, both times on
// the grid row's day. A time left as it was shown keeps its seconds (punches from a
// terminal may have them). The original values change only with ModTimbOrig on; there,
// an empty original time clears them. Call only when CheckValues is ok.
Timbratura Componi(const Timbratura& base, const Valori& v, int idDip, const QDate& giorno, bool modTimbOrig);

}  // namespace EditTimbrature
