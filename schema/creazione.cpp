#include "creazione.h"

#include "database.h"
#include "tabelle.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlRecord>
#include <QTextStream>

namespace {

QString schemaDi(const Tabella& t)
{
    return t.archivio == Archivio::PresUt ? QString::fromLatin1(Dialetto::kSchemaLavoro) : QStringLiteral("main");
}

// A stored date-time must be in the one layout that sorts correctly as text.
QString vincoloDataOra(const QString& campo)
{
    return QStringLiteral("CHECK (%1 IS NULL OR %1 GLOB "
                          "'[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]')")
        .arg(campo);
}

QString definizioneCampo(const Campo& c, bool perAggiunta = false)
{
    QString tipo;
    switch (c.tipo) {
    case TipoCampo::Intero: tipo = QStringLiteral("INTEGER"); break;
    case TipoCampo::InteroPiccolo: tipo = QStringLiteral("SMALLINT"); break;
    case TipoCampo::Testo: tipo = QStringLiteral("VARCHAR(%1)").arg(c.lunghezza); break;
    case TipoCampo::DataOra: tipo = QStringLiteral("DATETIMETEXT"); break;
    case TipoCampo::Memo: tipo = QStringLiteral("TEXT"); break;
    }
    QString def = c.nome + QLatin1Char(' ') + tipo;
    // ALTER TABLE ADD COLUMN cannot add a NOT NULL field without a default: a required
    // field added to an existing table is enforced by CHECK instead.
    if (c.obbligatorio)
        def += perAggiunta ? QStringLiteral(" CHECK (%1 IS NOT NULL)").arg(c.nome) : QStringLiteral(" NOT NULL");
    if (c.obbligatorio && (c.tipo == TipoCampo::Testo || c.tipo == TipoCampo::Memo))
        def += QStringLiteral(" CHECK (%1 <> '')").arg(c.nome);
    if (c.tipo == TipoCampo::DataOra)
        def += QLatin1Char(' ') + vincoloDataOra(c.nome);
    return def;
}

QSet<QString> campiEsistenti(const Database& db, const Tabella& t)
{
    QSet<QString> s;
    QSqlQuery q = db.esegui(QStringLiteral("PRAGMA %1.table_info(%2)").arg(schemaDi(t), t.nome));
    while (q.next())
        s.insert(q.value(1).toString().toLower());
    return s;
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

// Adds a row unless a row with the same key exists.
void aggiungiSeManca(Database& db, const QString& tabella, const QStringList& campi, const QVariantList& valori,
                     const QStringList& chiave)
{
    QStringList cond;
    for (const QString& k : chiave)
        cond << QStringLiteral("%1 = :%1").arg(k);
    QSqlQuery s = db.prepara(QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(tabella, cond.join(QStringLiteral(" AND "))));
    for (const QString& k : chiave)
        s.bindValue(QLatin1Char(':') + k, valori.at(campi.indexOf(k)));
    Database::esegui(s);
    if (s.next())
        return;
    QStringList segnaposto;
    for (const QString& c : campi)
        segnaposto << QLatin1Char(':') + c;
    QSqlQuery i = db.prepara(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(tabella, campi.join(QStringLiteral(", ")), segnaposto.join(QStringLiteral(", "))));
    for (int n = 0; n < campi.size(); ++n)
        i.bindValue(segnaposto.at(n), valori.at(n));
    Database::esegui(i);
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

void creaTabella(Database& db, const Tabella& t)
{
    {
        const QString schema = schemaDi(t);
        QStringList def;
        for (const Campo& c : t.campi)
            def << definizioneCampo(c);
        db.esegui(QStringLiteral("CREATE TABLE IF NOT EXISTS %1.%2 (%3)").arg(schema, t.nome, def.join(QStringLiteral(", "))));
        const QSet<QString> esistenti = campiEsistenti(db, t);
        for (const Campo& c : t.campi)
            if (!esistenti.contains(c.nome.toLower()))
                db.esegui(QStringLiteral("ALTER TABLE %1.%2 ADD COLUMN %3").arg(schema, t.nome, definizioneCampo(c, true)));
        for (const Indice& i : t.indici)
            db.esegui(QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2.%3 ON %4 (%5)")
                          .arg(i.unico ? QStringLiteral("UNIQUE ") : QString(), schema, i.nome, t.nome,
                               i.campi.join(QStringLiteral(", "))));
    }
}

void creaTabelle(Database& db)
{
    for (const Tabella& t : Schema::tabelle())
        if (t.archivio == Archivio::Presenze || db.lavoroAperto())
            creaTabella(db, t);
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
    QString copia = QStringLiteral("%1.v%2.bak").arg(db.fileProduzione()).arg(prima);
    for (int n = 2; QFileInfo::exists(copia); ++n)
        copia = QStringLiteral("%1.v%2-%3.bak").arg(db.fileProduzione()).arg(prima).arg(n);
    db.copiaProduzione(copia);
    Transazione t(db);
    const int ora = versioneSchema(db);
    if (ora >= Schema::kVersione) {
        // Another copy of the application upgraded it meanwhile: its copy is the one to keep.
        t.conferma();
        QFile::remove(copia);
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
        const auto righe = leggiTsv(QString::fromLatin1(f.risorsa), &intest);
        for (const QStringList& r : righe) {
            QVariantList valori;
            for (int n = 0; n < intest.size(); ++n)
                valori << valoreDa(*t, intest.at(n), r.at(n));
            aggiungiSeManca(db, t->nome, intest, valori, f.chiave);
        }
    }
    aggiungiSeManca(db, QStringLiteral("APPLICATIVI"), {QStringLiteral("ID"), QStringLiteral("DESCRIZIONE")},
                    {1, QStringLiteral("Quorlin")}, {QStringLiteral("ID")});
    // Roots of the two organisation trees and the appointment every new profile receives.
    aggiungiSeManca(db, QStringLiteral("UnitaPianta"), {QStringLiteral("Id"), QStringLiteral("Descr")},
                    {1, QStringLiteral("Azienda")}, {QStringLiteral("Id")});
    aggiungiSeManca(db, QStringLiteral("UnitaRuolo"), {QStringLiteral("Id"), QStringLiteral("Descr")},
                    {1, QStringLiteral("Qualifiche")}, {QStringLiteral("Id")});
    aggiungiSeManca(db, QStringLiteral("Nomine"), {QStringLiteral("Id"), QStringLiteral("Descr")},
                    {1, QStringLiteral("Dipendente")}, {QStringLiteral("Id")});
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
    const QString schema = db.dialetto().schemaPrivato();
    const bool sqlite = db.dialetto().motore() == Dialetto::Motore::SQLite;
    for (const QString& nome : tabelle) {
        const Tabella* t = Schema::tabella(nome);
        if (!t || t->archivio != Archivio::PresUt)
            throw ErroreDb(QStringLiteral("Tabella di lavoro sconosciuta: %1").arg(nome));
        QStringList def;
        for (const Campo& c : t->campi)
            def << definizioneCampo(c);
        db.esegui(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS %1 (%2)").arg(t->nome, def.join(QStringLiteral(", "))));
        // An index of a temporary table lives in the temporary schema.
        for (const Indice& i : t->indici)
            db.esegui(QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2%3 ON %4 (%5)")
                          .arg(i.unico ? QStringLiteral("UNIQUE ") : QString(), sqlite ? schema + QLatin1Char('.') : QString(), i.nome,
                               t->nome, i.campi.join(QStringLiteral(", "))));
        db.rendiPrivata(t->nome);
    }
}

QStringList mancanti(const Database& db)
{
    QStringList m;
    QSet<QString> presenti, presentiLavoro;
    for (const QString& n : db.tabelleEsistenti(false))
        presenti.insert(n.toLower());
    for (const QString& n : db.tabelleEsistenti(true))
        presentiLavoro.insert(n.toLower());
    for (const Tabella& t : Schema::tabelle()) {
        const bool lavoro = t.archivio == Archivio::PresUt;
        if (lavoro && !db.lavoroAperto())
            continue;
        if (!(lavoro ? presentiLavoro : presenti).contains(t.nome.toLower())) {
            m << t.nome;
            continue;
        }
        const QSet<QString> campi = campiEsistenti(db, t);
        for (const Campo& c : t.campi)
            if (!campi.contains(c.nome.toLower()))
                m << t.nome + QLatin1Char('.') + c.nome;
    }
    return m;
}

}  // namespace Creazione
