#include "creazione.h"

#include "database.h"
#include "ddl.h"
#include "tabelle.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QFileInfo>
#include <QSet>
#include <QHash>

#include <optional>
#include <QSqlRecord>
#include <QTextStream>

namespace {

QString schemaDi(const Database& db, const Tabella& t)
{
    return t.archivio == Archivio::PresUt ? db.dialetto().schemaLavoro() : db.dialetto().schemaProduzione();
}

struct FileRiferimento {
    const char* risorsa;
    const char* tabella;
    QStringList chiave;  // fields that identify a row
};

// Reads a tab-separated reference file: a header with the field names, then one row per line.
QList<QStringList> leggiTsv(const QString& risorsa, QStringList* intestazione)
{
    QFile f(risorsa);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreDb(QStringLiteral("Dati di riferimento mancanti: %1").arg(risorsa));
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    QList<QStringList> righe;
    bool primo = true;
    while (!in.atEnd()) {
        const QString riga = in.readLine();
        if (riga.isEmpty() || riga.startsWith(QLatin1Char('#')))
            continue;
        const QStringList campi = riga.split(QLatin1Char('\t'));
        if (primo) {
            *intestazione = campi;
            primo = false;
            continue;
        }
        if (campi.size() != intestazione->size())
            throw ErroreDb(QStringLiteral("Dati di riferimento non validi in %1: %2").arg(risorsa, riga));
        righe.append(campi);
    }
    return righe;
}

// Adds the rows whose key is not in the table yet; rows already there stay as they are
// (the company may have changed a text). One read of the keys, one prepared insert.
void aggiungiMancanti(Database& db, const QString& tabella, const QStringList& campi, const QList<QVariantList>& righe,
                      const QStringList& chiave)
{
    const auto testoChiave = [](const QVariantList& valori) {
        QStringList t;
        for (const QVariant& v : valori)
            t << v.toString();
        return t.join(QLatin1Char('\x1f'));
    };
    QSet<QString> presenti;
    QSqlQuery s = db.esegui(QStringLiteral("SELECT %1 FROM %2").arg(chiave.join(QStringLiteral(", ")), tabella));
    while (s.next()) {
        QVariantList k;
        for (int n = 0; n < chiave.size(); ++n)
            k << s.value(n);
        presenti.insert(testoChiave(k));
    }
    QList<int> posizioni;
    for (const QString& k : chiave)
        posizioni << int(campi.indexOf(k));
    QStringList segnaposto;
    for (const QString& c : campi)
        segnaposto << QLatin1Char(':') + c;
    std::optional<QSqlQuery> ins;
    for (const QVariantList& valori : righe) {
        QVariantList k;
        for (int p : posizioni)
            k << valori.at(p);
        if (presenti.contains(testoChiave(k)))
            continue;
        presenti.insert(testoChiave(k));
        if (!ins)
            ins = db.prepara(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(tabella, campi.join(QStringLiteral(", ")), segnaposto.join(QStringLiteral(", "))));
        for (int n = 0; n < campi.size(); ++n)
            ins->bindValue(n, valori.at(n));
        Database::esegui(*ins);
    }
}

QVariant valoreDa(const Tabella& t, const QString& campo, const QString& testo)
{
    const Campo* c = t.campo(campo);
    if (!c)
        throw ErroreDb(QStringLiteral("Campo sconosciuto nei dati di riferimento: %1.%2").arg(t.nome, campo));
    if (testo.isEmpty())
        return QVariant(QMetaType(QMetaType::QString));
    if (c->tipo == TipoCampo::Intero || c->tipo == TipoCampo::InteroPiccolo)
        return testo.toInt();
    return testo;
}

}  // namespace

namespace Creazione {

QString releaseDatabase()
{
    return QStringLiteral("%1.0").arg(Schema::kVersione);
}

// Creates the table, or completes it with the fields it lacks; `campi` are the fields it has
// (none when it is missing), read here when not given.
void creaTabella(Database& db, const Tabella& t, const QHash<QString, QStringList>* campi = nullptr)
{
    const Dialetto& d = db.dialetto();
    const QString schema = schemaDi(db, t);
    const QStringList esistenti = campi ? campi->value(t.nome.toLower()) : db.campiEsistenti(t.nome, t.archivio == Archivio::PresUt);
    if (esistenti.isEmpty()) {
        QStringList def;
        for (const Campo& c : t.campi)
            def << Ddl::definizioneCampo(d, c);
        db.esegui(QStringLiteral("CREATE TABLE IF NOT EXISTS %1.%2 (%3)").arg(schema, t.nome, def.join(QStringLiteral(", "))));
    } else {
        for (const Campo& c : t.campi)
            if (!esistenti.contains(c.nome.toLower()))
                db.esegui(QStringLiteral("ALTER TABLE %1.%2 ADD COLUMN %3").arg(schema, t.nome, Ddl::definizioneCampo(d, c, true)));
    }
    for (const Indice& i : t.indici)
        db.esegui(Ddl::creaIndice(d, schema, t.nome, i));
}

void creaTabelle(Database& db)
{
    const QHash<QString, QStringList> produzione = db.campiPerTabella(false);
    const QHash<QString, QStringList> lavoro = db.campiPerTabella(true);
    for (const Tabella& t : Schema::tabelle())
        if (t.archivio == Archivio::Presenze || db.lavoroAperto())
            creaTabella(db, t, t.archivio == Archivio::Presenze ? &produzione : &lavoro);
}

int versioneSchema(const Database& db)
{
    bool configurazione = false;
    for (const QString& n : db.tabelleEsistenti(false))
        configurazione = configurazione || n.compare(QLatin1String("CONFIGDB"), Qt::CaseInsensitive) == 0;
    return configurazione ? db.valore(QStringLiteral("SELECT MAX(VERSIONESCHEMA) FROM CONFIGDB")).toInt() : 0;
}

QStringList tabelleDegliAggiornamenti(int versione)
{
    QStringList l;
    for (const Schema::PassoSchema& p : Schema::passi())
        if (p.versione > versione)
            l << p.tabelle;
    return l;
}

QString aggiorna(Database& db)
{
    const int prima = versioneSchema(db);
    if (prima < 1 || prima >= Schema::kVersione)
        return {};
    // The copy is a consistent snapshot of the old database, taken before anything changes.
    const QString copia = db.copiaProduzione(prima);
    Transazione t(db);
    const int ora = versioneSchema(db);
    if (ora >= Schema::kVersione) {
        // Another copy of the application upgraded it meanwhile: its copy is the one to keep.
        t.conferma();
        db.eliminaCopia(copia);
        return {};
    }
    for (const QString& nome : tabelleDegliAggiornamenti(ora))
        creaTabella(db, *Schema::tabella(nome));
    // Messages, code lists and signals of the new release; it records the new version too.
    caricaRiferimento(db);
    t.conferma();
    return copia;
}

void caricaRiferimento(Database& db)
{
    static const FileRiferimento files[] = {
        {":/riferimento/errori.tsv", "Errori", {"Id", "Lingua"}},
        {":/riferimento/scelte.tsv", "Scelte", {"Id", "Lingua"}},
        {":/riferimento/costanti1.tsv", "Costanti1", {"NCampo", "Lingua", "ValCod"}},
        {":/riferimento/costanti3.tsv", "Costanti3", {"NCampo", "Lingua", "ValCod"}},
        {":/riferimento/costanti4.tsv", "Costanti4", {"NCampo", "Lingua", "ValCod"}},
        {":/riferimento/costanti7.tsv", "Costanti7", {"TipoStampa", "Lingua", "CodStampa"}},
        {":/riferimento/costanti8.tsv", "Costanti8", {"NCampo", "Lingua", "TDataCod"}},
        {":/riferimento/segnalazioni.tsv", "Segnalazioni", {"Id"}},
    };
    for (const FileRiferimento& f : files) {
        const Tabella* t = Schema::tabella(QString::fromLatin1(f.tabella));
        QStringList intest;
        QList<QVariantList> righe;
        for (const QStringList& r : leggiTsv(QString::fromLatin1(f.risorsa), &intest)) {
            QVariantList valori;
            for (int n = 0; n < intest.size(); ++n)
                valori << valoreDa(*t, intest.at(n), r.at(n));
            righe << valori;
        }
        aggiungiMancanti(db, t->nome, intest, righe, f.chiave);
    }
    const QStringList idDescr{QStringLiteral("Id"), QStringLiteral("Descr")};
    aggiungiMancanti(db, QStringLiteral("APPLICATIVI"), {QStringLiteral("ID"), QStringLiteral("DESCRIZIONE")},
                     {{1, QStringLiteral("Quorlin")}}, {QStringLiteral("ID")});
    // Roots of the two organisation trees and the appointment every new profile receives.
    aggiungiMancanti(db, QStringLiteral("UnitaPianta"), idDescr, {{1, QStringLiteral("Azienda")}}, {QStringLiteral("Id")});
    aggiungiMancanti(db, QStringLiteral("UnitaRuolo"), idDescr, {{1, QStringLiteral("Qualifiche")}}, {QStringLiteral("Id")});
    aggiungiMancanti(db, QStringLiteral("Nomine"), idDescr, {{1, QStringLiteral("Dipendente")}}, {QStringLiteral("Id")});
    if (!db.esisteRiga(QStringLiteral("SELECT 1 FROM CONFIGDB")))
        db.esegui(QStringLiteral("INSERT INTO CONFIGDB (RELDB, VERSIONESCHEMA) VALUES (:rel, :ver)"),
                  {{"rel", releaseDatabase()}, {"ver", Schema::kVersione}});
    else
        db.esegui(QStringLiteral("UPDATE CONFIGDB SET RELDB = :rel, VERSIONESCHEMA = :ver WHERE VERSIONESCHEMA IS NULL OR VERSIONESCHEMA < :ver"),
                  {{"rel", releaseDatabase()}, {"ver", Schema::kVersione}});
}

void creaTutto(Database& db)
{
    Transazione t(db);
    creaTabelle(db);
    caricaRiferimento(db);
    t.conferma();
}

void rendiPrivate(Database& db, const QStringList& tabelle)
{
    const Dialetto& d = db.dialetto();
    for (const QString& nome : tabelle) {
        const Tabella* t = Schema::tabella(nome);
        if (!t || t->archivio != Archivio::PresUt)
            throw ErroreDb(QStringLiteral("Tabella di lavoro sconosciuta: %1").arg(nome));
        QStringList def;
        for (const Campo& c : t->campi)
            def << Ddl::definizioneCampo(d, c);
        db.esegui(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS %1 (%2)").arg(t->nome, def.join(QStringLiteral(", "))));
        // An index of a temporary table lives in the temporary schema.
        for (const Indice& i : t->indici)
            db.esegui(Ddl::creaIndice(d, d.schemaPrivato(), t->nome, i));
        db.rendiPrivata(t->nome);
    }
}

void eseguiDump(Database& db, const QString& dump)
{
    static const QRegularExpression controllo(QStringLiteral("CHECK \\((\\w+) IS NULL OR \\1 GLOB '[^']*'\\)"));
    const bool sqlite = db.dialetto().motore() == Dialetto::Motore::SQLite;
    const QString tipoDataOra = Ddl::tipo(db.dialetto(), Campo{QStringLiteral("DataOra"), TipoCampo::DataOra});
    for (QString istruzione : dump.split(QStringLiteral(";\n"), Qt::SkipEmptyParts)) {
        istruzione = istruzione.trimmed();
        // The dump's own transaction and settings: the caller decides those.
        if (istruzione.isEmpty() || istruzione.startsWith(QLatin1String("PRAGMA")) || istruzione.startsWith(QLatin1String("BEGIN"))
            || istruzione.startsWith(QLatin1String("COMMIT")))
            continue;
        if (!sqlite) {
            istruzione.replace(QStringLiteral("DATETIMETEXT"), tipoDataOra);
            for (auto m = controllo.match(istruzione); m.hasMatch(); m = controllo.match(istruzione))
                istruzione.replace(m.capturedStart(), m.capturedLength(), db.dialetto().vincoloDataOra(m.captured(1)));
        }
        QSqlQuery q(db.connessione());
        if (!q.exec(istruzione))
            throw ErroreDb(q.lastError().text(), istruzione);
    }
}

QStringList mancanti(const Database& db)
{
    QStringList m;
    const QHash<QString, QStringList> produzione = db.campiPerTabella(false);
    const QHash<QString, QStringList> lavoro = db.campiPerTabella(true);
    for (const Tabella& t : Schema::tabelle()) {
        const bool diLavoro = t.archivio == Archivio::PresUt;
        if (diLavoro && !db.lavoroAperto())
            continue;
        const auto it = (diLavoro ? lavoro : produzione).constFind(t.nome.toLower());
        if (it == (diLavoro ? lavoro : produzione).constEnd()) {
            m << t.nome;
            continue;
        }
        for (const Campo& c : t.campi)
            if (!it->contains(c.nome.toLower()))
                m << t.nome + QLatin1Char('.') + c.nome;
    }
    return m;
}

}  // namespace Creazione
