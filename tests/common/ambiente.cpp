#include "ambiente.h"

#include "ddl.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace Banco {

Dialetto::Motore motore()
{
    static const Dialetto::Motore m = [] {
        const QString nome = qEnvironmentVariable("QUORLIN_MOTORE");
        Dialetto::Motore scelto = Dialetto::Motore::SQLite;
        if (!nome.isEmpty() && !Dialetto::motoreDaNome(nome, &scelto)) {
            std::fprintf(stderr, "QUORLIN_MOTORE=%s: motore sconosciuto\n", qPrintable(nome));
            std::exit(2);
        }
        return scelto;
    }();
    return m;
}

QString colonna(const Database& db, const QString& sql, Parametri p)
{
    QSqlQuery q = db.esegui(sql, p);
    QStringList l;
    while (q.next())
        l << q.value(0).toString();
    return l.join(QLatin1Char(','));
}

}  // namespace Banco

namespace {
QAtomicInt g_database;
}  // namespace

DatabaseDiProva::DatabaseDiProva(const QString& cartella)
{
    if (!Banco::suServer()) {
        m_connessione = Connessione::sqlite(QDir(cartella).filePath(QStringLiteral("Dati/DBPresenze.db")));
        m_lavoro = QDir(cartella).filePath(QStringLiteral("Tabelle/DBPresUt.db"));
        return;
    }
    m_connessione.motore = Dialetto::Motore::PostgreSQL;
    m_connessione.database =
        QStringLiteral("quorlin_prova_%1_%2").arg(QCoreApplication::applicationPid()).arg(g_database.fetchAndAddRelaxed(1));
    m_connessione = m_connessione.completata();
    m_lavoro = QStringLiteral("presut_prova");
    try {
        Database::eliminaSuServer(m_connessione);
        Database::creaSuServer(m_connessione);
    } catch (const ErroreDb& e) {
        // Without its server the PostgreSQL half cannot run: say so and stop, never skip.
        std::fprintf(stderr, "Server PostgreSQL di prova non disponibile (PGHOST=%s PGPORT=%s): %s\n",
                     qPrintable(qEnvironmentVariable("PGHOST")), qPrintable(qEnvironmentVariable("PGPORT")), qPrintable(e.testo()));
        std::exit(2);
    }
}

DatabaseDiProva::~DatabaseDiProva()
{
    if (!Banco::suServer())
        return;
    try {
        Database::eliminaSuServer(m_connessione);
    } catch (const ErroreDb&) {
        // Left on a throwaway server, which goes with it.
    }
}

QByteArray DatabaseDiProva::righeIni() const
{
    if (!Banco::suServer())
        return {};
    return "[Ambiente START]\nMotore=PostgreSQL\nDatabase=" + m_connessione.database.toUtf8() + "\nSchema=" + m_lavoro.toUtf8() + "\n";
}

void DatabaseDiProva::svuota()
{
    if (!Banco::suServer())
        return;
    Database::eliminaSuServer(m_connessione);
    Database::creaSuServer(m_connessione);
}

QByteArray DatabaseDiProva::fotografia() const
{
    if (!Banco::suServer()) {
        QFile f(m_connessione.file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    Database db;
    db.apri(m_connessione, false);
    QStringList tabelle = db.tabelleEsistenti(false);
    tabelle.sort();
    QByteArray f;
    for (const QString& t : tabelle) {
        QSqlQuery q = db.esegui(QStringLiteral("SELECT * FROM %1").arg(t));
        QStringList righe;
        while (q.next()) {
            QStringList r;
            for (int c = 0; c < q.record().count(); ++c)
                r << q.value(c).toString();
            righe << r.join(QLatin1Char('|'));
        }
        righe.sort();
        f += t.toUtf8() + ":\n" + righe.join(QLatin1Char('\n')).toUtf8() + "\n";
    }
    return f;
}

Ambiente::Ambiente(const QByteArray& testoIni)
{
    m_produzione = std::make_unique<DatabaseDiProva>(m_dir.path());
    QByteArray testo = testoIni;
    if (!testo.isEmpty() && !testo.endsWith('\n'))
        testo += '\n';
    testo += m_produzione->righeIni();
    if (!testo.isEmpty()) {
        QFile f(fileIni());
        if (f.open(QIODevice::WriteOnly))
            f.write(testo);
    }
    m_dtm = std::make_unique<TdtmPresenze>();
    m_dtm->setPresentatore(&m_registro);
    m_dtm->Apri(fileIni(), TdtmPresenze::ModoCreazione::Sempre);
}

Ambiente::~Ambiente()
{
    m_dtm.reset();
}

QString Ambiente::fileIni() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("PRES.INI"));
}

int Ambiente::conta(const QString& tabella, const QString& condizione)
{
    return valore(QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(tabella, condizione.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condizione)).toInt();
}

void Ambiente::rifiuta(const QString& nome, const QString& tabella, const QString& evento, const QString& condizione,
                       const QString& messaggio)
{
    for (const QString& istruzione : Ddl::creaRifiuto(db().dialetto(), nome, tabella, evento, condizione, messaggio))
        esegui(istruzione);
}

void Ambiente::togliRifiuto(const QString& nome, const QString& tabella)
{
    for (const QString& istruzione : Ddl::eliminaRifiuto(db().dialetto(), nome, tabella))
        esegui(istruzione);
}

DiscoPieno::DiscoPieno(rlim_t byte)
{
    getrlimit(RLIMIT_FSIZE, &m_prima);
    m_segnale = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite = m_prima;
    limite.rlim_cur = byte;
    setrlimit(RLIMIT_FSIZE, &limite);
}

DiscoPieno::~DiscoPieno()
{
    setrlimit(RLIMIT_FSIZE, &m_prima);
    std::signal(SIGXFSZ, m_segnale);
}
