#include "tdtmpresenze.h"

#include "messaggi.h"

#include "creazione.h"
#include "fileini.h"
#include "registro.h"
#include "tabelle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

const QString kFileProduzione = QStringLiteral("DBPresenze.db");
const QString kFileLavoro = QStringLiteral("DBPresUt.db");

// Texts delivered with the database, used when the database itself cannot be read
// (a batch command on a missing file still explains what went wrong).
QString testoDiRiferimento(bool scelta, int n, QChar lingua)
{
    static QHash<QString, QString> cache;
    static bool caricato = false;
    if (!caricato) {
        caricato = true;
        for (const char* f : {":/riferimento/errori.tsv", ":/riferimento/scelte.tsv"}) {
            QFile file(QString::fromLatin1(f));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            QTextStream in(&file);
            in.setEncoding(QStringConverter::Utf8);
            const QString tipo = QString::fromLatin1(f).contains(QLatin1String("scelte")) ? QStringLiteral("S") : QStringLiteral("E");
            bool intest = true;
            while (!in.atEnd()) {
                const QString r = in.readLine();
                if (r.isEmpty() || r.startsWith(QLatin1Char('#')))
                    continue;
                if (intest) {
                    intest = false;
                    continue;
                }
                const QStringList c = r.split(QLatin1Char('\t'));
                if (c.size() == 3)
                    cache.insert(tipo + c[1] + c[0], c[2]);
            }
        }
    }
    return cache.value((scelta ? QStringLiteral("S") : QStringLiteral("E")) + lingua + QString::number(n));
}

}  // namespace

TdtmPresenze::TdtmPresenze(QObject* parent) : QObject(parent), m_db(std::make_unique<Database>()) {}

TdtmPresenze::~TdtmPresenze()
{
    Chiudi();
}

FileIni& TdtmPresenze::ini()
{
    if (!m_ini)
        throw std::runtime_error("PRES.INI non letto");
    return *m_ini;
}

void TdtmPresenze::LeggiConfigurazione(const QString& fileIni)
{
    const auto errore = [](const ErroreIni& e) {
        return ErroreAvvio(e.tipo() == ErroreIni::Tipo::NonIni ? Msg::ErrIniNonValido : Msg::ErrIni, e.dettaglio());
    };
    try {
        m_ini = std::make_unique<FileIni>(fileIni);
    } catch (const ErroreIni& e) {
        m_ini.reset();
        throw errore(e);
    }
    try {
        Configurazione::Leggi(*m_ini, Registro::LeggiAzienda(), m_cfg);
    } catch (const ErroreIni& e) {
        if (e.tipo() != ErroreIni::Tipo::Scrittura)
            throw errore(e);
        // The values are taken all the same; the file keeps what it held.
        MostraErroreCon(Msg::ErrIni, e.dettaglio());
    }
}

QString TdtmPresenze::FileProduzione() const
{
    return QDir(Configurazione::CartellaProduzione(m_cfg)).filePath(kFileProduzione);
}

QString TdtmPresenze::FileLavoro() const
{
    return QDir(m_cfg.DirApplicazione).filePath(QStringLiteral("Tabelle/") + kFileLavoro);
}

QString TdtmPresenze::CartellaPriv() const
{
    return QDir(m_cfg.DirApplicazione).filePath(QStringLiteral("Priv"));
}

void TdtmPresenze::apriCartellaPriv()
{
    // Private scratch folder of this copy of the application: temporary files of the
    // database engine go there, and whatever an earlier run left behind is removed.
    QDir priv(CartellaPriv());
    if (!priv.exists())
        QDir().mkpath(priv.path());
    for (const QString& f : priv.entryList({QStringLiteral("_*.db")}, QDir::Files))
        priv.remove(f);
    m_db->setCartellaTemporanea(priv.absolutePath());
}

Connessione TdtmPresenze::ConnessioneProduzione() const
{
    Dialetto::Motore motore = Dialetto::Motore::SQLite;
    if (!m_cfg.Motore.isEmpty() && !Dialetto::motoreDaNome(m_cfg.Motore, &motore))
        throw ErroreAvvio(Msg::ErrChiaveConnessione, QStringLiteral("Motore=") + m_cfg.Motore);
    return ConnessioneSu(motore);
}

Connessione TdtmPresenze::ConnessioneSu(Dialetto::Motore motore) const
{
    Connessione c;
    c.motore = motore;
    if (c.motore == Dialetto::Motore::SQLite) {
        c.file = FileProduzione();
        return c;
    }
    bool ok = true;
    if (!m_cfg.Porta.isEmpty()) {
        c.porta = m_cfg.Porta.toInt(&ok);
        if (!ok || c.porta < 1 || c.porta > 65535 || !m_cfg.Porta.front().isDigit())
            throw ErroreAvvio(Msg::ErrChiaveConnessione, QStringLiteral("Porta=") + m_cfg.Porta);
    }
    if (!m_cfg.Database.isEmpty() && !Connessione::nomeValido(m_cfg.Database))
        throw ErroreAvvio(Msg::ErrChiaveConnessione, QStringLiteral("Database=") + m_cfg.Database);
    if (!m_cfg.Schema.isEmpty() && !Connessione::nomeValido(m_cfg.Schema))
        throw ErroreAvvio(Msg::ErrChiaveConnessione, QStringLiteral("Schema=") + m_cfg.Schema);
    c.host = m_cfg.Host;
    c.database = m_cfg.Database;
    c.utente = m_cfg.Utente;
    return c.completata();
}

QString TdtmPresenze::SchemaLavoro() const
{
    return m_cfg.Schema.isEmpty() ? Connessione::schemaLavoroPredefinito() : m_cfg.Schema.toLower();
}

bool TdtmPresenze::Apri(const QString& fileIni, ModoCreazione creazione)
{
    LeggiConfigurazione(fileIni);
    const Connessione connessione = ConnessioneProduzione();
    const bool server = connessione.motore != Dialetto::Motore::SQLite;
    apriCartellaPriv();

    // A database on a server always exists (its administrator creates it): only its tables
    // can be missing, and only the init command creates them (controllaProduzione).
    const bool predefinita = m_cfg.PathProduzione.isEmpty();
    const bool nuovo = !server && !QFileInfo::exists(FileProduzione());
    const bool puoCreare = nuovo && (creazione == ModoCreazione::Sempre || (creazione == ModoCreazione::CartellaPredefinita && predefinita));
    const QString cartella = Configurazione::CartellaProduzione(m_cfg);
    if (puoCreare && predefinita && !QDir(cartella).exists() && !QDir().mkpath(cartella))
        throw ErroreDb(QStringLiteral("%1: impossibile creare la cartella").arg(cartella));
    m_db->apri(connessione, puoCreare, [&] { controllaProduzione(nuovo, creazione); });
    if (!nuovo) {
        const QString copia = Creazione::aggiorna(*m_db);
        if (!copia.isEmpty())
            MostraErroreCon(Msg::AvvDbAggiornato, QDir::toNativeSeparators(copia));
    }
    // A new database or the init command: create what is missing and add the reference
    // rows that are not there yet.
    if (nuovo || creazione == ModoCreazione::Sempre) {
        Creazione::creaTutto(*m_db);
        installaLogo();
    }

    try {
        if (server) {
            m_db->apriLavoro(SchemaLavoro());
        } else {
            QDir().mkpath(QFileInfo(FileLavoro()).absolutePath());
            m_db->apriLavoro(FileLavoro());
        }
        if (!Creazione::mancanti(*m_db).isEmpty()) {
            Transazione t(*m_db);
            Creazione::creaTabelle(*m_db);
            t.conferma();
        }
    } catch (const ErroreDb&) {
        MostraErrore(1);
    }

    IdDipCorrente = -1;
    if (login && !login(*this))
        return false;
    return true;
}

void TdtmPresenze::controllaProduzione(bool nuovo, ModoCreazione creazione)
{
    if (nuovo)
        return;
    // An existing file is used as it is: an empty one (a copy that failed, a disk that
    // filled up) or one that lost a table would otherwise be given a fresh schema, and the
    // company's data would silently look gone.
    const QString file = m_db->descrizione();
    const bool init = creazione == ModoCreazione::Sempre;
    const QStringList tabelle = m_db->tabelleEsistenti(false);
    if (tabelle.isEmpty()) {
        if (!init)
            throw ErroreAvvio(Msg::ErrDbVuoto, file);
        return;
    }
    bool nostro = false;
    for (const QString& t : tabelle) {
        const Tabella* dichiarata = Schema::tabella(t);
        nostro = nostro || (dichiarata && dichiarata->archivio == Archivio::Presenze);
    }
    if (!nostro)
        throw ErroreAvvio(Msg::ErrDbEstraneo, file);
    // A database of a later release is not ours to write; one of an earlier release lacks
    // what its upgrade adds once the database is open.
    const int versione = Creazione::versioneSchema(*m_db);
    if (versione > Schema::kVersione)
        throw ErroreAvvio(Msg::ErrDbRecente, QStringLiteral("%1 (%2 > %3)").arg(file).arg(versione).arg(Schema::kVersione));
    QStringList mancanti = Creazione::mancanti(*m_db);
    if (versione >= 1) {
        const QStringList aggiunte = Creazione::tabelleDegliAggiornamenti(versione);
        mancanti.removeIf([&](const QString& m) { return aggiunte.contains(m.section(QLatin1Char('.'), 0, 0), Qt::CaseInsensitive); });
    }
    if (mancanti.isEmpty())
        return;
    if (!init)
        throw ErroreAvvio(Msg::ErrDbIncompleto, file + QStringLiteral(": ") + mancanti.join(QStringLiteral(", ")));
    emit schemaDaCompletare(file, mancanti);
}

bool TdtmPresenze::FileDellApplicazione(const QString& file) const
{
    // The same spelling for every path: links and ".." resolved as far as the path exists.
    const auto normale = [](const QString& f) {
        const QFileInfo fi(f);
        if (fi.exists())
            return fi.canonicalFilePath();
        const QString cartella = QFileInfo(fi.absolutePath()).canonicalFilePath();
        return cartella.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : QDir(cartella).filePath(fi.fileName());
    };
    const QString uscita = normale(file);
    QStringList nostri;
    for (const QString& db : {FileProduzione(), FileLavoro()})
        for (const char* suffisso : {"", "-wal", "-shm", "-journal"})
            nostri << db + QLatin1String(suffisso);
    nostri << m_cfg.FileIni << m_cfg.FileIni + QStringLiteral(".lock");
    for (const QString& n : std::as_const(nostri))
        if (!n.isEmpty() && normale(n) == uscita)
            return true;
    return false;
}

void TdtmPresenze::installaLogo()
{
    // A new installation gets the shipped report logo; a logo the company put there is kept.
    const QString nome = m_cfg.NomeProg + QStringLiteral("_rptlogo.bmp");
    const QString file = QDir(m_cfg.DirApplicazione).filePath(nome);
    if (QFileInfo::exists(file))
        return;
    if (QFile::copy(QStringLiteral(":/sfondo/") + nome, file))
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

void TdtmPresenze::Chiudi()
{
    if (m_db)
        m_db->chiudi();
}

int TdtmPresenze::NuovoId(const QString& tabella)
{
    static const QRegularExpression identificatore(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identificatore.match(tabella).hasMatch())
        throw ErroreDb(QStringLiteral("Nome di tabella non valido: %1").arg(tabella));
    const QVariant max = m_db->valore(QStringLiteral("SELECT Max(Id) AS IdMax\n  FROM ") + tabella);
    return max.isNull() ? 1 : max.toInt() + 1;
}

QString TdtmPresenze::testoMessaggio(bool scelta, int n)
{
    // The user's language first, then Italian, in which every message is delivered; in each,
    // the database's text (the company may have changed it) before the delivered one.
    const QChar italiano = QLatin1Char('I');
    for (const QChar lingua : {m_cfg.Lingua, italiano}) {
        if (m_db->aperto()) {
            try {
                const QVariant v =
                    m_db->valore(scelta ? QStringLiteral("SELECT Scelta FROM Scelte WHERE Id = :CodId AND Lingua = :CodLang")
                                        : QStringLiteral("SELECT Errore FROM Errori WHERE Id = :CodId AND Lingua = :CodLang"),
                                 {{"CodId", n}, {"CodLang", QString(lingua)}});
                if (const QString t = v.toString().trimmed(); !t.isEmpty())
                    return t;
            } catch (const ErroreDb&) {
                // A database without message tables: the delivered texts follow.
            }
        }
        if (const QString t = testoDiRiferimento(scelta, n, lingua).trimmed(); !t.isEmpty())
            return t;
        if (lingua == italiano)
            break;
    }
    // A number nobody delivered still tells the user which message it was.
    return (QString::number(n) + QLatin1Char(' ') + testoDiRiferimento(true, Msg::EtMessaggioMancante, italiano)).trimmed();
}

QString TdtmPresenze::TestoErrore(int n)
{
    return testoMessaggio(false, n);
}

QString TdtmPresenze::TestoScelta(int n)
{
    return testoMessaggio(true, n);
}

Presentatore& TdtmPresenze::presentatoreAttivo()
{
    // A data module used before anyone chose where messages go (a tool, a test's set-up)
    // still tells what went wrong, on standard error, and answers questions with No.
    static PresentatoreStderr riserva;
    return m_presentatore ? *m_presentatore : riserva;
}

void TdtmPresenze::MostraErrore(int n)
{
    presentatoreAttivo().avviso(TestoErrore(n));
}

QString TdtmPresenze::ConDettaglio(const QString& messaggio, const QString& dettaglio)
{
    // The detail (a file name, the engine's text) is set off by one blank, unless the caller
    // already put its own separator (": ", a blank) or the message ends with one.
    if (dettaglio.isEmpty() || messaggio.isEmpty() || messaggio.back().isSpace() || dettaglio.front().isSpace()
        || QStringLiteral(":;,.").contains(dettaglio.front()))
        return messaggio + dettaglio;
    return messaggio + QLatin1Char(' ') + dettaglio;
}

void TdtmPresenze::MostraErroreCon(int n, const QString& testo)
{
    presentatoreAttivo().avviso(ConDettaglio(TestoErrore(n), testo));
}

void TdtmPresenze::MostraErroreDb(const ErroreDb& e)
{
    MostraErroreCon(e.connessionePersa() ? Msg::ErrConnessionePersa : e.violazioneVincolo() ? Msg::ErrVincolo : Msg::ErrDatabase, e.testo());
}

bool TdtmPresenze::Chiedi(int n)
{
    return presentatoreAttivo().domanda(TestoScelta(n));
}

bool TdtmPresenze::ChiediCon(int n, const QString& testo)
{
    return presentatoreAttivo().domanda(ConDettaglio(TestoScelta(n), testo));
}

QList<CodiceDescr> TdtmPresenze::Codici(const QString& tabella, const QString& nomeCampo, const QString& colonnaCodice)
{
    if (!Schema::tabella(tabella) || !Schema::tabella(tabella)->campo(colonnaCodice))
        throw ErroreDb(QStringLiteral("Tabella dei codici sconosciuta: %1.%2").arg(tabella, colonnaCodice));
    QSqlQuery q = m_db->esegui(QStringLiteral("SELECT Descr, %1 FROM %2 WHERE NCampo = :campo AND Lingua = :lingua ORDER BY %1")
                                   .arg(colonnaCodice, tabella),
                               {{"campo", nomeCampo}, {"lingua", QString(m_cfg.Lingua)}});
    QList<CodiceDescr> l;
    while (q.next())
        l.append({q.value(0).toString(), q.value(1).toString()});
    return l;
}

bool TdtmPresenze::CampoObbligatorio(const QString& tabella, const QString& campo) const
{
    const Tabella* t = Schema::tabella(tabella);
    const Campo* c = t ? t->campo(campo) : nullptr;
    return c && c->obbligatorio;
}

void TdtmPresenze::CaricaListaVersi()
{
    m_versi.clear();
    for (const CodiceDescr& c : Codici(QStringLiteral("Costanti4"), QStringLiteral("Verso")))
        m_versi.append({c.codice, c.descr});
}

QString TdtmPresenze::TokenTimbratura(const QString& verso, const QTime& ora) const
{
    return TestiOra::TokenTimbratura(verso, ora, m_versi);
}

void TdtmPresenze::CaricaMemoria()
{
    m_mem.RelDB = m_db->valore(QStringLiteral("SELECT RELDB FROM CONFIGDB")).toString();
    m_mem.Preview = m_ini ? m_ini->leggiBooleano(Ini::Config, QStringLiteral("Preview"), true) : true;
    m_mem.DataInst = Sql::leggiDataOra(m_db->valore(QStringLiteral("SELECT DataInst FROM ConfigGen")));
    QSqlQuery az = m_db->esegui(QStringLiteral("SELECT RagSoc FROM Aziende WHERE Id=1"));
    if (az.next())
        m_mem.RagSoc = az.value(0).toString();
    QSqlQuery v = m_db->esegui(QStringLiteral("SELECT Descr, ValCod FROM Costanti4 WHERE\n  NCampo='Verso' AND\n  Lingua=:lingua ORDER BY ValCod"),
                               {{"lingua", QString(m_cfg.Lingua)}});
    m_mem.LetteraE.clear();
    m_mem.LetteraU.clear();
    if (v.next())
        m_mem.LetteraE = v.value(0).toString().left(1);
    if (v.next())
        m_mem.LetteraU = v.value(0).toString().left(1);
}
