#include "dialetto.h"

#include <QRegularExpression>

namespace Sql {

namespace {

// Writes n digits of v at p; the stored layouts are fixed, so no formatting engine is needed.
void cifreIn(QChar* p, int v, int n)
{
    for (int i = n - 1; i >= 0; --i) {
        p[i] = QLatin1Char(char('0' + v % 10));
        v /= 10;
    }
}

QString componi(const QDate& d, int minuti, int secondi)
{
    QString s(19, Qt::Uninitialized);
    QChar* p = s.data();
    cifreIn(p, d.year(), 4);
    p[4] = QLatin1Char('-');
    cifreIn(p + 5, d.month(), 2);
    p[7] = QLatin1Char('-');
    cifreIn(p + 8, d.day(), 2);
    p[10] = QLatin1Char(' ');
    cifreIn(p + 11, minuti / 60, 2);
    p[13] = QLatin1Char(':');
    cifreIn(p + 14, minuti % 60, 2);
    p[16] = QLatin1Char(':');
    cifreIn(p + 17, secondi, 2);
    return s;
}

}  // namespace

QString testoDataOra(const QDateTime& dt)
{
    const QTime t = dt.time();
    return componi(dt.date(), t.hour() * 60 + t.minute(), t.second());
}

QString testoData(const QDate& d)
{
    return componi(d, 0, 0);
}

QString testoDataMinuti(const QDate& d, int minuti)
{
    const int giorni = minuti >= 0 ? minuti / 1440 : -((1439 - minuti) / 1440);
    return componi(d.addDays(giorni), minuti - giorni * 1440, 0);
}

QVariant dataOra(const QDateTime& dt)
{
    return dt.isValid() ? QVariant(testoDataOra(dt)) : QVariant(QMetaType(QMetaType::QString));
}

QVariant data(const QDate& d)
{
    return d.isValid() ? QVariant(testoData(d)) : QVariant(QMetaType(QMetaType::QString));
}

QVariant testo(const QString& s)
{
    return s.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(s);
}

static int cifre(const QString& s, int da, int n, bool* ok)
{
    int v = 0;
    for (int i = da; i < da + n; ++i) {
        const QChar c = s.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            *ok = false;
            return 0;
        }
        v = v * 10 + (c.unicode() - '0');
    }
    return v;
}

bool scomponi(const QString& t, QDate* data, int* minuti)
{
    // Only the stored layouts: "YYYY-MM-DD" or "YYYY-MM-DD HH:MM[:SS]".
    const qsizetype n = t.size();
    if (n != 10 && n != 16 && n != 19)
        return false;
    const auto sep = [&](int i, char c) { return t.at(i) == QLatin1Char(c); };
    if (!sep(4, '-') || !sep(7, '-'))
        return false;
    if (n >= 16 && (!sep(10, ' ') || !sep(13, ':')))
        return false;
    if (n == 19 && !sep(16, ':'))
        return false;
    bool ok = true;
    const int a = cifre(t, 0, 4, &ok), m = cifre(t, 5, 2, &ok), g = cifre(t, 8, 2, &ok);
    int h = 0, mi = 0;
    if (n >= 16) {
        h = cifre(t, 11, 2, &ok);
        mi = cifre(t, 14, 2, &ok);
    }
    if (n == 19 && cifre(t, 17, 2, &ok) > 59)
        return false;
    if (!ok)
        return false;
    const QDate d(a, m, g);
    if (!d.isValid() || h > 23 || mi > 59)
        return false;
    if (data)
        *data = d;
    if (minuti)
        *minuti = h * 60 + mi;
    return true;
}

QDateTime leggiDataOra(const QVariant& v)
{
    if (v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime();
    const QString t = v.toString();
    QDate d;
    int min = 0;
    if (!scomponi(t, &d, &min))
        return {};
    const int sec = t.size() >= 19 ? t.mid(17, 2).toInt() : 0;
    return QDateTime(d, QTime(min / 60, min % 60, sec), Qt::UTC);
}

QDate leggiData(const QVariant& v)
{
    if (v.isNull())
        return {};
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate();
    QDate d;
    return scomponi(v.toString(), &d, nullptr) ? d : QDate();
}

}  // namespace Sql

namespace {

// Replaces EXTRACT(HOUR FROM expr) / EXTRACT(MINUTE FROM expr), with expr balanced in
// parentheses, by the engine's function on stored date-time texts.
QString traduciExtract(const QString& sql, Dialetto::Motore motore)
{
    static const QRegularExpression re(QStringLiteral("EXTRACT\\s*\\(\\s*(HOUR|MINUTE)\\s+FROM\\s+"),
                                       QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype pos = 0;
    for (;;) {
        const auto m = re.match(sql, pos);
        if (!m.hasMatch()) {
            out += sql.mid(pos);
            return out;
        }
        out += sql.mid(pos, m.capturedStart() - pos);
        qsizetype i = m.capturedEnd();
        int livello = 1;
        const qsizetype inizioExpr = i;
        for (; i < sql.size(); ++i) {
            if (sql[i] == QLatin1Char('('))
                ++livello;
            else if (sql[i] == QLatin1Char(')') && --livello == 0)
                break;
        }
        const QString expr = sql.mid(inizioExpr, i - inizioExpr).trimmed();
        const bool ora = m.captured(1).compare(QLatin1String("HOUR"), Qt::CaseInsensitive) == 0;
        if (motore == Dialetto::Motore::SQLite)
            out += QStringLiteral("CAST(substr(%1, %2, 2) AS INTEGER)").arg(expr, ora ? QStringLiteral("12") : QStringLiteral("15"));
        else
            out += QStringLiteral("CAST(EXTRACT(%1 FROM CAST(%2 AS TIMESTAMP)) AS INTEGER)")
                       .arg(ora ? QStringLiteral("HOUR") : QStringLiteral("MINUTE"), expr);
        pos = i + 1;
    }
}

}  // namespace

QString Dialetto::traduci(const QString& sql) const
{
    const auto it = m_cache.constFind(sql);
    if (it != m_cache.constEnd())
        return *it;
    static const QRegularExpression reAlias(QStringLiteral("'\\s*:(dbPresenze|dbPresUt):\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*'"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype pos = 0;
    auto it2 = reAlias.globalMatch(sql);
    while (it2.hasNext()) {
        const auto m = it2.next();
        out += sql.mid(pos, m.capturedStart() - pos);
        const bool lavoro = m.captured(1).compare(QLatin1String("dbPresUt"), Qt::CaseInsensitive) == 0;
        const QString schema = !lavoro ? QStringLiteral("main")
            : m_private.contains(m.captured(2).toLower()) ? schemaPrivato()
                                                           : QString::fromLatin1(kSchemaLavoro);
        out += schema + QLatin1Char('.') + m.captured(2);
        pos = m.capturedEnd();
    }
    out += sql.mid(pos);
    if (out.contains(QLatin1String("EXTRACT"), Qt::CaseInsensitive))
        out = traduciExtract(out, m_motore);
    m_cache.insert(sql, out);
    return out;
}

void Dialetto::rendiPrivata(const QString& tabella)
{
    m_private.insert(tabella.toLower());
    m_cache.clear();
}

void Dialetto::dimenticaPrivate()
{
    if (m_private.isEmpty())
        return;
    m_private.clear();
    m_cache.clear();
}
