#include "dialetto.h"

#include "ddl.h"

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

// SQLite sorts NULL before every value, PostgreSQL after: every ORDER BY item without its own
// NULLS clause gets SQLite's, so that both engines give rows in the same order.
QString nulliComeSqlite(const QString& sql)
{
    static const QRegularExpression ordina(QStringLiteral("\\bORDER\\s+BY\\b"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression fineLista(QStringLiteral("(LIMIT|OFFSET|FOR|UNION|EXCEPT|INTERSECT)\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression conNulli(QStringLiteral("\\bNULLS\\s+(FIRST|LAST)\\s*$"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression discendente(QStringLiteral("\\bDESC\\s*$"), QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype pos = 0;
    for (auto m = ordina.match(sql, pos); m.hasMatch(); m = ordina.match(sql, pos)) {
        // Words inside a quoted text are text.
        if (sql.left(m.capturedStart()).count(QLatin1Char('\'')) % 2 != 0) {
            out += sql.mid(pos, m.capturedEnd() - pos);
            pos = m.capturedEnd();
            continue;
        }
        out += sql.mid(pos, m.capturedEnd() - pos);
        qsizetype i = m.capturedEnd();
        int livello = 0;
        bool testo = false;
        QStringList voci{QString()};
        for (; i < sql.size(); ++i) {
            const QChar c = sql.at(i);
            if (testo) {
                testo = c != QLatin1Char('\'');
            } else if (c == QLatin1Char('\'')) {
                testo = true;
            } else if (c == QLatin1Char('(')) {
                ++livello;
            } else if (c == QLatin1Char(')')) {
                if (--livello < 0)
                    break;
            } else if (livello == 0 && c == QLatin1Char(';')) {
                break;
            } else if (livello == 0 && c == QLatin1Char(',')) {
                voci << QString();
                continue;
            } else if (livello == 0 && !sql.at(i - 1).isLetterOrNumber() && sql.at(i - 1) != QLatin1Char('_')
                       && fineLista.match(sql, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption).hasMatch()) {
                break;
            }
            voci.last() += c;
        }
        for (QString& v : voci) {
            QString spazio;
            while (!v.isEmpty() && v.back().isSpace()) {
                spazio.prepend(v.back());
                v.chop(1);
            }
            if (!conNulli.match(v).hasMatch())
                v += discendente.match(v).hasMatch() ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
            v += spazio;
        }
        out += voci.join(QLatin1Char(','));
        pos = i;
    }
    out += sql.mid(pos);
    return out;
}

}  // namespace

QString Dialetto::nomeMotore(Motore m)
{
    return m == Motore::SQLite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
}

bool Dialetto::motoreDaNome(const QString& nome, Motore* motore)
{
    for (const Motore m : {Motore::SQLite, Motore::PostgreSQL})
        if (nome.trimmed().compare(nomeMotore(m), Qt::CaseInsensitive) == 0) {
            *motore = m;
            return true;
        }
    return false;
}

QString Dialetto::schemaProduzione() const
{
    return m_motore == Motore::SQLite ? QStringLiteral("main") : QStringLiteral("public");
}

QString Dialetto::schemaPrivato() const
{
    return m_motore == Motore::SQLite ? QStringLiteral("temp") : QStringLiteral("pg_temp");
}

void Dialetto::setSchemaLavoro(const QString& schema)
{
    if (schema == m_schemaLavoro)
        return;
    m_schemaLavoro = schema;
    m_cache.clear();
}

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
        const QString schema = !lavoro ? schemaProduzione()
            : m_private.contains(m.captured(2).toLower()) ? schemaPrivato()
                                                           : m_schemaLavoro;
        out += schema + QLatin1Char('.') + m.captured(2);
        pos = m.capturedEnd();
    }
    out += sql.mid(pos);
    if (out.contains(QLatin1String("EXTRACT"), Qt::CaseInsensitive))
        out = traduciExtract(out, m_motore);
    if (m_motore == Motore::PostgreSQL && out.contains(QLatin1String("ORDER"), Qt::CaseInsensitive))
        out = nulliComeSqlite(out);
    if (m_motore == Motore::PostgreSQL && out.contains(QLatin1String("LIKE"), Qt::CaseInsensitive)) {
        static const QRegularExpression reLike(QStringLiteral("\\bLIKE\\b"), QRegularExpression::CaseInsensitiveOption);
        // From the end, so that the positions still to change stay where they were found;
        // words inside a quoted text are text.
        QList<qsizetype> posizioni;
        for (auto it3 = reLike.globalMatch(out); it3.hasNext();) {
            const qsizetype p = it3.next().capturedStart();
            if (out.left(p).count(QLatin1Char('\'')) % 2 == 0)
                posizioni.prepend(p);
        }
        for (const qsizetype p : posizioni)
            out.replace(p, 4, QStringLiteral("ILIKE"));
    }
    m_cache.insert(sql, out);
    return out;
}

QString Ddl::tipo(const Dialetto& d, const Campo& c)
{
    // On the server every text compares and sorts by its bytes, whatever the database's
    // locale: the same order and the same equalities as the embedded engine.
    const QString testo = d.motore() == Dialetto::Motore::PostgreSQL ? QStringLiteral(" COLLATE \"C\"") : QString();
    switch (c.tipo) {
    case TipoCampo::Intero: return QStringLiteral("INTEGER");
    case TipoCampo::InteroPiccolo: return QStringLiteral("SMALLINT");
    case TipoCampo::Testo: return QStringLiteral("VARCHAR(%1)").arg(c.lunghezza) + testo;
    // "YYYY-MM-DD HH:MM:SS", see Sql::testoDataOra.
    case TipoCampo::DataOra: return QStringLiteral("VARCHAR(19)") + testo;
    case TipoCampo::Memo: return QStringLiteral("TEXT") + testo;
    }
    return {};
}

QString Ddl::definizioneCampo(const Dialetto& d, const Campo& c, bool perAggiunta)
{
    QString def = c.nome + QLatin1Char(' ') + tipo(d, c);
    // ALTER TABLE ADD COLUMN cannot add a NOT NULL field without a default: a required
    // field added to an existing table is enforced by CHECK instead.
    if (c.obbligatorio)
        def += perAggiunta ? QStringLiteral(" CHECK (%1 IS NOT NULL)").arg(c.nome) : QStringLiteral(" NOT NULL");
    if (c.obbligatorio && (c.tipo == TipoCampo::Testo || c.tipo == TipoCampo::Memo))
        def += QStringLiteral(" CHECK (%1 <> '')").arg(c.nome);
    if (c.tipo == TipoCampo::DataOra)
        def += QLatin1Char(' ') + d.vincoloDataOra(c.nome);
    return def;
}

QString Dialetto::vincoloDataOra(const QString& campo) const
{
    // A stored date-time must be in the one layout that sorts correctly as text.
    if (m_motore == Motore::SQLite)
        return QStringLiteral("CHECK (%1 IS NULL OR %1 GLOB "
                              "'[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]')")
            .arg(campo);
    return QStringLiteral("CHECK (%1 IS NULL OR %1 ~ '^[0-9]{4}-[0-1][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]$')").arg(campo);
}

QString Ddl::creaIndice(const Dialetto& d, const QString& schema, const QString& tabella, const Indice& i)
{
    // SQLite names the schema on the index, PostgreSQL on the table (the index follows it).
    const QString unico = i.unico ? QStringLiteral("UNIQUE ") : QString();
    const QString campi = i.campi.join(QStringLiteral(", "));
    if (d.motore() == Dialetto::Motore::SQLite)
        return QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2.%3 ON %4 (%5)").arg(unico, schema, i.nome, tabella, campi);
    return QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3.%4 (%5)").arg(unico, i.nome, schema, tabella, campi);
}

QStringList Ddl::creaRifiuto(const Dialetto& d, const QString& nome, const QString& tabella, const QString& evento,
                             const QString& condizione, const QString& messaggio)
{
    if (d.motore() == Dialetto::Motore::SQLite)
        return {QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4BEGIN SELECT RAISE(ABORT, '%5'); END")
                    .arg(nome, evento, tabella, condizione.isEmpty() ? QString() : QStringLiteral("WHEN %1 ").arg(condizione), messaggio)};
    return {QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF %2 THEN RAISE EXCEPTION '%3'; END IF; "
                           "RETURN %4; END $$")
                .arg(nome, condizione.isEmpty() ? QStringLiteral("true") : QStringLiteral("(%1)").arg(condizione), messaggio,
                     evento.compare(QLatin1String("DELETE"), Qt::CaseInsensitive) == 0 ? QStringLiteral("OLD") : QStringLiteral("NEW")),
            QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1()").arg(nome, evento, tabella)};
}

QStringList Ddl::eliminaRifiuto(const Dialetto& d, const QString& nome, const QString& tabella)
{
    if (d.motore() == Dialetto::Motore::SQLite)
        return {QStringLiteral("DROP TRIGGER %1").arg(nome)};
    return {QStringLiteral("DROP TRIGGER %1 ON %2").arg(nome, tabella), QStringLiteral("DROP FUNCTION %1()").arg(nome)};
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
