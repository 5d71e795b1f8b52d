#include "tdtmpianta.h"

#include "messaggi.h"

#include "database.h"
#include "tabelle.h"
#include "tdtmpresenze.h"

#include <QCollator>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>

namespace {

struct Forma {
    const char* tabella;
    const char* padre;
    const char* selezione;  // the work table of the listing
    const char* campoProfilo;
};

const Forma& forma(TipoAlbero t)
{
    static const Forma reparti{"UnitaPianta", "IdPiantaPadre", "TPiantaSel", "IdPianta"};
    static const Forma qualifiche{"UnitaRuolo", "IdRuoloPadre", "TRuoloSel", "IdRuolo"};
    return t == TipoAlbero::Reparti ? reparti : qualifiche;
}

// The units of a branch as the stored rows give them; a cycle in the rows ends the walk.
QList<int> ramoSalvato(const QList<RigaUnita>& righe, int id)
{
    QHash<int, QList<int>> figli;
    for (const RigaUnita& r : righe)
        if (r.padre)
            figli[*r.padre].append(r.id);
    QList<int> ramo{id};
    QSet<int> visti{id};
    for (int n = 0; n < ramo.size(); ++n)
        for (int f : figli.value(ramo[n]))
            if (!visti.contains(f)) {
                visti.insert(f);
                ramo.append(f);
            }
    return ramo;
}

}  // namespace

// --- The tree ----------------------------------------------------------------------------------

AlberoUnita AlberoUnita::Costruisci(const QList<RigaUnita>& righe)
{
    struct Provvisorio {
        QString descr;
        std::optional<int> padreDichiarato;
        int padre = 0;  // 0: under the provisional top
        QList<int> figli;
    };
    QHash<int, Provvisorio> nodi;
    QList<int> inCima;  // under the provisional top, in the order they came
    for (const RigaUnita& r : righe) {
        if (nodi.contains(r.id))
            continue;
        Provvisorio& n = nodi[r.id];
        n.descr = r.descr;
        n.padreDichiarato = r.padre;
        if (r.padre && *r.padre != r.id && nodi.contains(*r.padre)) {
            n.padre = *r.padre;
            nodi[*r.padre].figli.append(r.id);
        } else {
            inCima.append(r.id);
        }
        // Children that came first were waiting at the top.
        for (auto it = inCima.begin(); it != inCima.end();) {
            Provvisorio& c = nodi[*it];
            if (*it != r.id && c.padreDichiarato == r.id) {
                c.padre = r.id;
                nodi[r.id].figli.append(*it);
                it = inCima.erase(it);
            } else {
                ++it;
            }
        }
    }
    AlberoUnita a;
    if (inCima.isEmpty())
        return a;
    a.m_radice = inCima.first();
    // Only what hangs from the top is kept; a branch closed on itself by its rows is never
    // reached from it.
    QList<int> daVisitare{a.m_radice};
    while (!daVisitare.isEmpty()) {
        const int id = daVisitare.takeLast();
        const Provvisorio& p = nodi[id];
        a.m_unita.insert(id, {p.descr, id == a.m_radice ? 0 : p.padre, p.figli});
        daVisitare.append(p.figli);
    }
    a.ordinaFigli();
    return a;
}

void AlberoUnita::ordinaFigli()
{
    QCollator italiano(QLocale(QLocale::Italian, QLocale::Italy));
    italiano.setCaseSensitivity(Qt::CaseInsensitive);
    italiano.setNumericMode(true);
    for (Nodo& n : m_unita)
        std::sort(n.figli.begin(), n.figli.end(), [&](int a, int b) {
            const int c = italiano.compare(m_unita[a].descr, m_unita[b].descr);
            return c != 0 ? c < 0 : a < b;
        });
}

int AlberoUnita::Livello(int id) const
{
    int livello = 0;
    for (int p = Padre(id); p != 0 && livello <= m_unita.size(); p = Padre(p))
        ++livello;
    return livello;
}

bool AlberoUnita::Sotto(int id, int antenato) const
{
    for (int p = Padre(id), passi = 0; p != 0 && passi <= m_unita.size(); p = Padre(p), ++passi)
        if (p == antenato)
            return true;
    return false;
}

QList<int> AlberoUnita::Ramo(int id) const
{
    QList<int> l;
    if (!Contiene(id))
        return l;
    QList<int> pila{id};
    while (!pila.isEmpty()) {
        const int u = pila.takeLast();
        l.append(u);
        const QList<int>& f = m_unita[u].figli;
        for (auto it = f.rbegin(); it != f.rend(); ++it)
            pila.append(*it);
    }
    return l;
}

QString AlberoUnita::Riga(int id) const
{
    return QString(5 * Livello(id), QLatin1Char(' ')) + QLatin1Char('-') + Descr(id);
}

// --- The data module ---------------------------------------------------------------------------

TdtmPianta::TdtmPianta(TdtmPresenze& dtm, TipoAlbero tipo) : m_dtm(dtm), m_tipo(tipo) {}

QString TdtmPianta::Tabella() const
{
    return QString::fromLatin1(forma(m_tipo).tabella);
}

QString TdtmPianta::CampoPadre() const
{
    return QString::fromLatin1(forma(m_tipo).padre);
}

int TdtmPianta::LunghezzaDescr() const
{
    return Schema::tabella(Tabella())->campo(QStringLiteral("Descr"))->lunghezza;
}

QList<RigaUnita> TdtmPianta::Righe() const
{
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Id, %1, Descr FROM %2 ORDER BY Id").arg(CampoPadre(), Tabella()));
    QList<RigaUnita> l;
    while (q.next())
        l.append({q.value(0).toInt(), q.value(1).isNull() ? std::nullopt : std::optional<int>(q.value(1).toInt()), q.value(2).toString()});
    return l;
}

QHash<int, std::optional<int>> TdtmPianta::padriSalvati() const
{
    QHash<int, std::optional<int>> p;
    for (const RigaUnita& r : Righe())
        p.insert(r.id, r.padre);
    return p;
}

int TdtmPianta::Inserisci(int idPadre, const QString& nome, int* errore)
{
    const auto rifiuta = [errore](int n) {
        if (errore)
            *errore = n;
        return 0;
    };
    const QString descr = nome.trimmed();
    if (descr.isEmpty() || descr.size() > LunghezzaDescr())
        return rifiuta(Msg::ErrDatoMancante);
    Database& db = m_dtm.db();
    Transazione tr(db);
    if (!db.esisteRiga(QStringLiteral("SELECT Id FROM %1 WHERE Id = :id").arg(Tabella()), {{"id", idPadre}}))
        return rifiuta(Msg::ErrUnitaScomparsa);
    const int id = m_dtm.NuovoId(Tabella());
    db.esegui(QStringLiteral("INSERT INTO %1 (Id, %2, Descr) VALUES (:id, :padre, :descr)").arg(Tabella(), CampoPadre()),
              {{"id", id}, {"padre", idPadre}, {"descr", descr}});
    tr.conferma();
    m_dtm.ArchivioCambiato(Tabella());
    if (errore)
        *errore = 0;
    return id;
}

int TdtmPianta::Rinomina(int id, const QString& nome)
{
    const QString descr = nome.trimmed();
    if (descr.isEmpty())
        return 0;
    if (descr.size() > LunghezzaDescr())
        return Msg::ErrDatoMancante;
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("UPDATE %1 SET Descr = :descr WHERE Id = :id").arg(Tabella()),
                                    {{"descr", descr}, {"id", id}});
    if (q.numRowsAffected() == 0)
        return Msg::ErrUnitaScomparsa;
    m_dtm.ArchivioCambiato(Tabella());
    return 0;
}

int TdtmPianta::CancellazioneVietata(const AlberoUnita& albero, int id) const
{
    if (!albero.Figli(id).isEmpty())
        return Msg::ErrUnitaConSottounita;
    if (id == kRadice)
        return Msg::ErrUnitaRadice;
    return 0;
}

int TdtmPianta::Cancella(int id)
{
    Database& db = m_dtm.db();
    Transazione tr(db);
    if (!db.esisteRiga(QStringLiteral("SELECT Id FROM %1 WHERE Id = :id").arg(Tabella()), {{"id", id}}))
        return Msg::ErrUnitaScomparsa;
    // Sub-units the tree on screen does not show yet (added elsewhere) count too; a sub-unit
    // left without its parent would drop out of the tree with everything below it.
    if (db.esisteRiga(QStringLiteral("SELECT Id FROM %1 WHERE %2 = :id").arg(Tabella(), CampoPadre()), {{"id", id}}))
        return Msg::ErrUnitaConSottounita;
    if (id == kRadice)
        return Msg::ErrUnitaRadice;
    db.esegui(QStringLiteral("UPDATE Profilo SET %1 = :nessuna WHERE %1 = :id").arg(QLatin1String(forma(m_tipo).campoProfilo)),
              {{"nessuna", kNessuna}, {"id", id}});
    db.esegui(QStringLiteral("DELETE FROM %1 WHERE Id = :id").arg(Tabella()), {{"id", id}});
    tr.conferma();
    m_dtm.ArchivioCambiato(Tabella());
    m_dtm.ArchivioCambiato(QStringLiteral("Profilo"));
    return 0;
}

bool TdtmPianta::SpostamentoAmmesso(const AlberoUnita& albero, int id, int bersaglio, bool sotto)
{
    if (!albero.Contiene(id) || !albero.Contiene(bersaglio) || id == albero.Radice() || id == bersaglio)
        return false;
    if (albero.Sotto(bersaglio, id))
        return false;
    if (sotto)
        return albero.Padre(bersaglio) != albero.Padre(id);
    return bersaglio != albero.Radice();
}

int TdtmPianta::Sposta(int id, int bersaglio, bool sotto)
{
    Database& db = m_dtm.db();
    Transazione tr(db);
    const QHash<int, std::optional<int>> padri = padriSalvati();
    if (!padri.contains(id) || !padri.contains(bersaglio))
        return Msg::ErrUnitaScomparsa;
    const std::optional<int> nuovo = sotto ? std::optional<int>(bersaglio) : padri.value(bersaglio);
    if (!nuovo || !padri.contains(*nuovo) || id == kRadice)
        return Msg::ErrSpostamentoUnita;
    // The chain from the new parent upwards, as stored now, must not meet the unit itself.
    QSet<int> visti;
    for (std::optional<int> p = nuovo; p && padri.contains(*p) && !visti.contains(*p); p = padri.value(*p)) {
        if (*p == id)
            return Msg::ErrSpostamentoUnita;
        visti.insert(*p);
    }
    db.esegui(QStringLiteral("UPDATE %1 SET %2 = :padre WHERE Id = :id").arg(Tabella(), CampoPadre()), {{"padre", *nuovo}, {"id", id}});
    tr.conferma();
    m_dtm.ArchivioCambiato(Tabella());
    return 0;
}

int TdtmPianta::ElencaDipendenti(TdtmPresenze& dtm, int idReparto, int idQualifica, bool sottounita)
{
    Database& db = dtm.db();
    Transazione tr(db);
    for (const auto& [tipo, id] : {std::pair{TipoAlbero::Reparti, idReparto}, {TipoAlbero::Qualifiche, idQualifica}}) {
        const Forma& f = forma(tipo);
        const QString sel = QStringLiteral("':dbPresUt:%1'").arg(QLatin1String(f.selezione));
        db.esegui(QStringLiteral("DELETE FROM ") + sel);
        QSqlQuery ins = db.prepara(QStringLiteral("INSERT INTO %1 (Id, %2) VALUES (:id, :padre)").arg(sel, QLatin1String(f.padre)));
        const TdtmPianta albero(dtm, tipo);
        const QList<RigaUnita> righe = sottounita ? albero.Righe() : QList<RigaUnita>();
        QHash<int, std::optional<int>> padri;
        for (const RigaUnita& r : righe)
            padri.insert(r.id, r.padre);
        for (int u : sottounita ? ramoSalvato(righe, id) : QList<int>{id}) {
            ins.bindValue(QStringLiteral(":id"), u);
            // The chosen unit goes in without its parent, as its set's head.
            const std::optional<int> p = u == id ? std::nullopt : padri.value(u);
            ins.bindValue(QStringLiteral(":padre"), p ? QVariant(*p) : QVariant(QMetaType(QMetaType::Int)));
            Database::esegui(ins);
        }
    }
    db.esegui(QStringLiteral("DELETE FROM ':dbPresUt:TAnagCk'"));
    // An employee with two profiles in the chosen units, or two badges, is listed once.
    db.esegui(QStringLiteral(
        "INSERT INTO ':dbPresUt:TAnagCk' (Id, Matricola, Cognome, Nome, Libero, Classe) "
        "SELECT DISTINCT Anagrafico.Id, Anagrafico.Matricola, Anagrafico.Cognome, Anagrafico.Nome, Anagrafico.Libero, Anagrafico.Classe "
        "FROM Anagrafico, Profilo, ':dbPresUt:TPiantaSel' TPiantaSel, ':dbPresUt:TRuoloSel' TRuoloSel "
        "WHERE Anagrafico.Id = Profilo.IdUtilizzatore AND Profilo.IdPianta = TPiantaSel.Id AND Profilo.IdRuolo = TRuoloSel.Id "
        "AND EXISTS (SELECT Badge.IdUtilizzatore FROM Badge WHERE Badge.IdUtilizzatore = Anagrafico.Id)"));
    const int quanti = db.valore(QStringLiteral("SELECT COUNT(*) FROM ':dbPresUt:TAnagCk'")).toInt();
    tr.conferma();
    return quanti;
}
