#include "edittimbrature.h"

#include "messaggi.h"

#include "testiora.h"

namespace EditTimbrature {

namespace {

bool soloCifre(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// The time of day typed in a field, kept to the second when the user left the shown text
// untouched.
QTime oraDelCampo(const QString& testo, const QDateTime& prima)
{
    if (prima.isValid() && testo.trimmed() == TestoOra(prima))
        return prima.time();
    QTime ora;
    LeggiOra(testo, &ora);
    return ora;
}

}  // namespace

EsitoOra LeggiOra(const QString& testo, QTime* ora)
{
    const QString t = testo.trimmed();
    if (t.isEmpty())
        return EsitoOra::Vuota;

    QString ore;
    QString minuti;
    qsizetype sep = t.indexOf(QLatin1Char(':'));
    if (sep < 0)
        sep = t.indexOf(QLatin1Char('.'));
    if (sep >= 0) {
        ore = t.left(sep);
        minuti = t.mid(sep + 1);
        if (ore.size() > 2 || minuti.size() > 2)
            return EsitoOra::NonValida;
    } else if (t.size() <= 2) {
        ore = t;
        minuti = QStringLiteral("0");
    } else if (t.size() <= 4) {
        ore = t.left(t.size() - 2);
        minuti = t.right(2);
    } else {
        return EsitoOra::NonValida;
    }
    if (!soloCifre(ore) || !soloCifre(minuti))
        return EsitoOra::NonValida;
    const QTime letta(ore.toInt(), minuti.toInt());
    if (!letta.isValid())
        return EsitoOra::NonValida;
    if (ora)
        *ora = letta;
    return EsitoOra::Valida;
}

QString TestoOra(const QDateTime& dt)
{
    return dt.isValid() ? TestiOra::FormatoOra(QLatin1Char(':'), dt.time()) : QString();
}

Verifica CheckValues(const Valori& v, bool modTimbOrig)
{
    if (modTimbOrig && LeggiOra(v.oraO) == EsitoOra::NonValida)
        return {Campo::OraO, Msg::ErrOra};
    switch (LeggiOra(v.oraV)) {
    case EsitoOra::Vuota:
        return {Campo::OraV, Msg::ErrDatoMancante};
    case EsitoOra::NonValida:
        return {Campo::OraV, Msg::ErrOra};
    case EsitoOra::Valida:
        break;
    }
    if (v.versoV.trimmed().isEmpty())
        return {Campo::VersoV, Msg::ErrDatoMancante};
    if (modTimbOrig) {
        const bool oraO = !v.oraO.trimmed().isEmpty();
        const bool versoO = !v.versoO.trimmed().isEmpty();
        if (oraO && !versoO)
            return {Campo::VersoO, Msg::ErrDatoMancante};
        if (versoO && !oraO)
            return {Campo::OraO, Msg::ErrDatoMancante};
    }
    return {};
}

Timbratura Componi(const Timbratura& base, const Valori& v, int idDip, const QDate& giorno, bool modTimbOrig)
{
    Timbratura t = base;
    t.IdDip = idDip;
    t.DataV = QDateTime(giorno, oraDelCampo(v.oraV, base.DataV), Qt::UTC);
    t.VersoV = v.versoV.trimmed();
    if (modTimbOrig) {
        if (v.oraO.trimmed().isEmpty()) {
            t.DataO = QDateTime();
            t.VersoO.clear();
        } else {
            t.DataO = QDateTime(giorno, oraDelCampo(v.oraO, base.DataO), Qt::UTC);
            t.VersoO = v.versoO.trimmed();
        }
    }
    return t;
}

}  // namespace EditTimbrature
