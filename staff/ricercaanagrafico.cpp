#include "ricercaanagrafico.h"

#include "messaggi.h"

#include "creazione.h"
#include "ddl.h"
#include "tabelle.h"
#include "tdtmpresenze.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

namespace {


struct CampoSql {
    const char* tabella;
    const char* campo;
};
// Indexed by CampoRicerca.
constexpr CampoSql kCampi[] = {{"Anagrafico", "Cognome"}, {"Anagrafico", "Nome"}, {"Anagrafico", "Matricola"}, {"Badge", "Codice"}};

struct VoceOrdine {
    const char* voce;
    const char* campi;
    bool badge;  // the order needs the badge table
};
constexpr VoceOrdine kOrdini[] = {
    {"Ordina per Nominativo", "Anagrafico.Cognome, Anagrafico.Nome", false},
    {"Ordina per Matricola", "Anagrafico.Matricola", false},
    {"Ordina per N. Badge", "Badge.Codice", true},
    {"Ordina per Campo Libero", "Anagrafico.Libero", false},
};

const VoceOrdine& voceOrdine(const QString& voce)
{
    for (const VoceOrdine& o : kOrdini)
        if (voce == QLatin1String(o.voce))
            return o;
    return kOrdini[0];
}

const QStringList kCampiAnagrafico{QStringLiteral("Id"),   QStringLiteral("Matricola"), QStringLiteral("Cognome"),
                                   QStringLiteral("Nome"), QStringLiteral("Libero"),    QStringLiteral("Classe")};

const QStringList kTabellePersone{QStringLiteral("Anagrafico"), QStringLiteral("Badge"), QStringLiteral("Profilo"),
                                  QStringLiteral("UnitaPianta"), QStringLiteral("UnitaRuolo")};

// The LIKE patterns are built around the user's text: his own "%", "_" and "\" must match
// themselves, not stand for other characters.
const QString kEscape = QStringLiteral(" escape '\\'");

QString proteggiLike(QString s)
{
    s.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    s.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    s.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return s;
}

bool vuoto(const QString& s)
{
    return s.trimmed().isEmpty();
}

// true for the work database, false for the production one; nothing for another name.
std::optional<bool> eLavoro(const QString& dataBaseName)
{
    if (dataBaseName.compare(QLatin1String("DBPresUt"), Qt::CaseInsensitive) == 0)
        return true;
    if (dataBaseName.compare(QLatin1String("DBPresenze"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

bool identificatore(const QString& nome)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(nome).hasMatch();
}

struct IndiceSelezione {
    const char* nome;
    QStringList campi;
    bool unico;
};
const QList<IndiceSelezione> kIndici{
    {"PK_Anagrafico_Id", {QStringLiteral("Id")}, true},
    {"idxAnagNominativo", {QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Id")}, false},
    {"idxAnagMatricola", {QStringLiteral("Matricola"), QStringLiteral("Id")}, false},
    {"idxAnagLibero", {QStringLiteral("Libero"), QStringLiteral("Id")}, false},
};

}  // namespace

RicercaAnagrafico::RicercaAnagrafico(TdtmPresenze& dtm) : m_dtm(dtm)
{
    Azzera();
}

void RicercaAnagrafico::Azzera()
{
    for (Valori& v : m_campi)
        v = Valori{};
    for (auto& u : m_unita)
        u.clear();
    m_ordine = VociOrdine().constFirst();
}

void RicercaAnagrafico::AzzeraRisultati()
{
    m_righe.clear();
    m_conCondizioni = false;
    m_scelti.clear();
}

bool RicercaAnagrafico::Vuota() const
{
    for (const Valori& v : m_campi)
        if (!vuoto(v.valori[0]) || (v.confronto == Confronto::DaA && !vuoto(v.valori[1])))
            return false;
    return m_unita[0].isEmpty() && m_unita[1].isEmpty();
}

bool RicercaAnagrafico::RiempieZeri(CampoRicerca c, Confronto k)
{
    if (c == CampoRicerca::Matricola)
        return k == Confronto::DaA;
    if (c == CampoRicerca::CodiceBadge)
        return k == Confronto::Uguale || k == Confronto::DaA;
    return false;
}

QString RicercaAnagrafico::RiempiZeri(const QString& testo)
{
    return testo.trimmed().rightJustified(10, QLatin1Char('0'));
}

void RicercaAnagrafico::setValore(CampoRicerca c, int quale, const QString& testo)
{
    m_campi[idx(c)].valori[quale ? 1 : 0] = RiempieZeri(c, confronto(c)) && !vuoto(testo) ? RiempiZeri(testo) : testo;
}

QString RicercaAnagrafico::valoreEffettivo(CampoRicerca c, int quale) const
{
    // A value typed before its kind became a range is filled all the same.
    const QString v = valore(c, quale);
    return RiempieZeri(c, confronto(c)) && !vuoto(v) ? RiempiZeri(v) : v;
}

QString RicercaAnagrafico::testoUnita(Organico o) const
{
    const QList<UnitaScelta> l = unita(o);
    if (l.isEmpty())
        return {};
    return l.size() == 1 ? l.first().descr : l.first().descr + QStringLiteral(" ...");
}

QString RicercaAnagrafico::tabellaSql(const QString& tabella) const
{
    // Conditions always name the tables plainly; a table of the work database gets an alias.
    if (eLavoro(m_imp.dataBaseName).value_or(false))
        return QStringLiteral("':dbPresUt:%1' %1").arg(tabella);
    return tabella;
}

QList<UnitaScelta> RicercaAnagrafico::elencoUnita(Organico o) const
{
    const QString tabella = o == Organico::Reparto ? QStringLiteral("UnitaPianta") : QStringLiteral("UnitaRuolo");
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Id, Descr FROM %1 ORDER BY Descr, Id").arg(tabellaSql(tabella)));
    QList<UnitaScelta> l;
    while (q.next())
        l.append({q.value(0).toInt(), q.value(1).toString()});
    return l;
}

QStringList RicercaAnagrafico::VociOrdine()
{
    return {QLatin1String(kOrdini[0].voce), QLatin1String(kOrdini[1].voce)};
}

QString RicercaAnagrafico::SortFields(const QString& voce)
{
    const QString v = voce.toUpper();
    if (v.contains(QLatin1String("NOMINATIVO")))
        return QStringLiteral("Cognome;Nome");
    if (v.contains(QLatin1String("MATRICOLA")))
        return QStringLiteral("Matricola");
    if (v.contains(QLatin1String("COMMENTO")))
        return QStringLiteral("Libero");
    return {};
}

bool RicercaAnagrafico::ArchivioValido() const
{
    Database& db = m_dtm.db();
    try {
        const std::optional<bool> lavoro = eLavoro(m_imp.dataBaseName);
        if (!db.aperto() || !lavoro || (*lavoro && !db.lavoroAperto()))
            return false;
        QSet<QString> presenti;
        for (const QString& t : db.tabelleEsistenti(*lavoro))
            presenti.insert(t.toLower());
        for (const QString& t : kTabellePersone)
            if (!presenti.contains(t.toLower()))
                return false;
        if (m_imp.dumpTable) {
            // The selection table is scratch space: never a table of the production database.
            if (!eLavoro(m_imp.tempDataBaseName).value_or(false) || !db.lavoroAperto() || !identificatore(m_imp.tempTableName))
                return false;
        }
    } catch (const ErroreDb&) {
        return false;
    }
    return true;
}

QString RicercaAnagrafico::selectList() const
{
    QString s = QStringLiteral("select distinct Id, Matricola, Cognome, Nome, Libero, Classe");
    if (m_imp.modo == ModoCopia::dmProfile)
        s += QStringLiteral(", Profilo.*");
    return s;
}

IstruzioneRicerca RicercaAnagrafico::Istruzione() const
{
    IstruzioneRicerca r;
    const auto parametro = [&r](const QVariant& v) {
        const QString nome = QStringLiteral("Param%1").arg(r.parametri.size() + 1);
        r.parametri.append({nome, v});
        return QLatin1Char(':') + nome;
    };
    bool profilo = m_imp.modo == ModoCopia::dmProfile;
    bool badge = false;

    for (int i = 0; i < int(m_campi.size()); ++i) {
        const auto c = CampoRicerca(i);
        const QString campo = QStringLiteral("%1.%2").arg(QLatin1String(kCampi[i].tabella), QLatin1String(kCampi[i].campo));
        const Confronto k = confronto(c);
        const qsizetype prima = r.condizioni.size();
        const QString da = valoreEffettivo(c, 0);
        if (!vuoto(da)) {
            switch (k) {
            case Confronto::Uguale: r.condizioni << campo + QStringLiteral("= ") + parametro(da); break;
            case Confronto::IniziaCon:
                r.condizioni << campo + QStringLiteral(" like ") + parametro(proteggiLike(da) + QLatin1Char('%')) + kEscape;
                break;
            case Confronto::FinisceCon:
                r.condizioni << campo + QStringLiteral(" like ") + parametro(QLatin1Char('%') + proteggiLike(da)) + kEscape;
                break;
            case Confronto::Contiene:
                r.condizioni << campo + QStringLiteral(" like ") + parametro(QLatin1Char('%') + proteggiLike(da) + QLatin1Char('%')) + kEscape;
                break;
            case Confronto::DaA: r.condizioni << campo + QStringLiteral(">= ") + parametro(da); break;
            }
        }
        if (k == Confronto::DaA) {
            const QString a = valoreEffettivo(c, 1);
            if (!vuoto(a))
                r.condizioni << campo + QStringLiteral("<= ") + parametro(a);
        }
        if (c == CampoRicerca::CodiceBadge && r.condizioni.size() > prima)
            badge = true;
    }
    for (const Organico o : {Organico::Reparto, Organico::Qualifica}) {
        const QList<UnitaScelta> scelte = unita(o);
        if (scelte.isEmpty())
            continue;
        QStringList id;
        for (const UnitaScelta& u : scelte)
            id << parametro(u.id);
        r.condizioni << (o == Organico::Reparto ? QStringLiteral("Profilo.IdPianta") : QStringLiteral("Profilo.IdRuolo")) +
                            QStringLiteral(" in (") + id.join(QStringLiteral(", ")) + QLatin1Char(')');
        profilo = true;
    }

    const VoceOrdine& ordine = voceOrdine(m_ordine);
    badge = badge || ordine.badge;
    QStringList dove = r.condizioni;
    if (m_imp.classe == ClasseRicerca::ctEmployees)
        dove << QStringLiteral("Anagrafico.Classe = 'D'");
    else if (m_imp.classe == ClasseRicerca::ctGuests)
        dove << QStringLiteral("Anagrafico.Classe = 'V'");
    if (profilo)
        dove << QStringLiteral("Profilo.IdUtilizzatore=Anagrafico.Id");
    if (badge)
        dove << QStringLiteral("Badge.IdUtilizzatore=Anagrafico.Id");

    QString da = QStringLiteral(" from ") + tabellaSql(QStringLiteral("Anagrafico"));
    if (profilo)
        da += QStringLiteral(", ") + tabellaSql(QStringLiteral("Profilo"));
    if (badge)
        da += QStringLiteral(", ") + tabellaSql(QStringLiteral("Badge"));
    if (!dove.isEmpty())
        da += QStringLiteral(" where ") + dove.join(QStringLiteral(" and "));
    if (ordine.badge) {
        // DISTINCT cannot be ordered by a field it does not select (a server refuses it): the
        // same rows grouped, each person ordered by his lowest badge code.
        QStringList gruppo = kCampiAnagrafico;
        if (m_imp.modo == ModoCopia::dmProfile)
            for (const Campo& c : Schema::tabella(QStringLiteral("Profilo"))->campi)
                gruppo << QStringLiteral("Profilo.") + c.nome;
        const QString campi = gruppo.join(QStringLiteral(", "));
        r.sql = QStringLiteral("select ") + campi + da + QStringLiteral(" group by ") + campi + QStringLiteral(" order by min(") +
                QLatin1String(ordine.campi) + QLatin1Char(')');
        return r;
    }
    r.sql = selectList() + da + QStringLiteral(" order by ") + QLatin1String(ordine.campi);
    return r;
}

std::optional<CampoRicerca> RicercaAnagrafico::IntervalloErrato() const
{
    for (int i = 0; i < int(m_campi.size()); ++i) {
        const auto c = CampoRicerca(i);
        if (confronto(c) != Confronto::DaA)
            continue;
        const QString da = valoreEffettivo(c, 0), a = valoreEffettivo(c, 1);
        if (!vuoto(da) && !vuoto(a) && a.compare(da) < 0)
            return c;
    }
    return std::nullopt;
}

QList<QSqlRecord> RicercaAnagrafico::esegui(const QString& sql, const QList<std::pair<QString, QVariant>>& parametri) const
{
    QSqlQuery q = m_dtm.db().prepara(sql);
    for (const auto& [nome, valore] : parametri)
        q.bindValue(QLatin1Char(':') + nome, valore);
    Database::esegui(q);
    QList<QSqlRecord> righe;
    while (q.next())
        righe.append(q.record());
    return righe;
}

RicercaAnagrafico::Esito RicercaAnagrafico::Cerca()
{
    if (IntervalloErrato()) {
        m_dtm.MostraErrore(Msg::ErrIntervallo);
        return Esito::IntervalloErrato;
    }
    const IstruzioneRicerca i = Istruzione();
    QList<QSqlRecord> righe = esegui(i.sql, i.parametri);
    m_righe = std::move(righe);
    m_conCondizioni = i.conCondizioni();
    m_scelti.clear();
    if (m_righe.isEmpty()) {
        m_dtm.MostraErrore(Msg::ErrNessunRecord);
        return Esito::Nessuno;
    }
    return Esito::Trovati;
}

QList<QSqlRecord> RicercaAnagrafico::rileggi(const QList<int>& id) const
{
    QList<std::pair<QString, QVariant>> parametri;
    QStringList segnaposto;
    for (int v : id) {
        parametri.append({QStringLiteral("Param%1").arg(parametri.size() + 1), v});
        segnaposto << QLatin1Char(':') + parametri.constLast().first;
    }
    QString sql = selectList() + QStringLiteral(" from ") + tabellaSql(QStringLiteral("Anagrafico"));
    if (m_imp.modo == ModoCopia::dmProfile)
        sql += QStringLiteral(", ") + tabellaSql(QStringLiteral("Profilo")) + QStringLiteral(" where Profilo.IdUtilizzatore=Anagrafico.Id And Id in (");
    else
        sql += QStringLiteral(" where Id in (");
    sql += segnaposto.join(QStringLiteral(", ")) + QLatin1Char(')');
    return esegui(sql, parametri);
}

int RicercaAnagrafico::Conferma(const QList<int>& idMarcati)
{
    m_scelti.clear();
    if (!m_conCondizioni && idMarcati.isEmpty())
        return RisTutti;
    const QList<QSqlRecord> righe = idMarcati.isEmpty() ? m_righe : rileggi(idMarcati);
    if (m_imp.dumpTable)
        copia(righe);
    QSet<int> visti;
    for (const QSqlRecord& r : righe) {
        const int id = r.value(QStringLiteral("Id")).toInt();
        if (!visti.contains(id)) {
            visti.insert(id);
            m_scelti << id;
        }
    }
    return RisSelezione;
}

QList<Campo> RicercaAnagrafico::campiSelezione() const
{
    // As the people tables declare them, so the copy holds what the search read.
    QList<Campo> campi;
    const Tabella* anagrafico = Schema::tabella(QStringLiteral("Anagrafico"));
    for (const QString& n : kCampiAnagrafico)
        campi << *anagrafico->campo(n);
    if (m_imp.modo == ModoCopia::dmProfile)
        campi << Schema::tabella(QStringLiteral("Profilo"))->campi;
    return campi;
}

QStringList RicercaAnagrafico::CampiSelezione() const
{
    QStringList nomi;
    for (const Campo& c : campiSelezione())
        nomi << c.nome;
    return nomi;
}

QString RicercaAnagrafico::NomeIndice(const QString& tabella, const QString& indice)
{
    return indice + QLatin1Char('_') + tabella;
}

void RicercaAnagrafico::PreparaTabellaSelezione()
{
    Database& db = m_dtm.db();
    const QString nome = m_imp.tempTableName;
    if (!identificatore(nome) || !eLavoro(m_imp.tempDataBaseName).value_or(false) || !db.lavoroAperto())
        throw ErroreDb(m_dtm.TestoErrore(Msg::ErrTabellaSelezione) + QLatin1Char(' ') + nome);
    const QString rif = RiferimentoSelezione(m_imp.tempDataBaseName, nome);
    const QStringList campi = CampiSelezione();

    // A work table declared with the schema keeps its declared shape: it is only emptied,
    // and must have room for every field of the selection.
    const Tabella* dichiarata = Schema::tabella(nome);
    if (dichiarata && dichiarata->archivio == Archivio::PresUt) {
        for (const QString& c : campi)
            if (!dichiarata->campo(c))
                throw ErroreDb(m_dtm.TestoErrore(Msg::ErrTabellaSelezione) + QLatin1Char(' ') + nome);
        if (!db.tabelleEsistenti(true).contains(nome, Qt::CaseInsensitive))
            Creazione::creaTabelle(db);
        db.esegui(QStringLiteral("DELETE FROM ") + rif);
        return;
    }

    // A table of another shape (fields added or dropped by an earlier release, by other
    // settings) is built again.
    QStringList attesi;
    for (const Campo& c : campiSelezione())
        attesi << c.nome.toLower();
    const QStringList esistenti = db.campiEsistenti(nome, true);

    if (!esistenti.isEmpty() && esistenti == attesi) {
        db.esegui(QStringLiteral("DELETE FROM ") + rif);
    } else {
        if (!esistenti.isEmpty())
            db.esegui(QStringLiteral("DROP TABLE ") + rif);
        QStringList def;
        for (const Campo& c : campiSelezione())
            def << c.nome + QLatin1Char(' ') + Ddl::tipo(db.dialetto(), c);
        db.esegui(QStringLiteral("CREATE TABLE %1 (%2)").arg(rif, def.join(QStringLiteral(", "))));
    }
    for (const IndiceSelezione& i : kIndici)
        db.esegui(Ddl::creaIndice(db.dialetto(), db.dialetto().schemaLavoro(), nome,
                                           Indice{NomeIndice(nome, QLatin1String(i.nome)), i.campi, i.unico}));
}

void RicercaAnagrafico::copia(const QList<QSqlRecord>& righe)
{
    // With the profile's fields a person with several profiles comes back once per profile;
    // the selection keeps one row per person, with his latest profile.
    QList<QSqlRecord> uniche;
    QHash<int, qsizetype> posizione;
    const QString inizio = QStringLiteral("DataInizio");
    for (const QSqlRecord& r : righe) {
        const int id = r.value(QStringLiteral("Id")).toInt();
        const auto it = posizione.constFind(id);
        if (it == posizione.constEnd()) {
            posizione.insert(id, uniche.size());
            uniche.append(r);
        } else if (r.contains(inizio) && r.value(inizio).toString() > uniche.at(*it).value(inizio).toString()) {
            uniche[*it] = r;
        }
    }

    Database& db = m_dtm.db();
    Transazione t(db);
    PreparaTabellaSelezione();
    const QStringList campi = CampiSelezione();
    QStringList segnaposto;
    for (int n = 0; n < campi.size(); ++n)
        segnaposto << QStringLiteral(":c%1").arg(n);
    QSqlQuery ins = db.prepara(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(RiferimentoSelezione(m_imp.tempDataBaseName, m_imp.tempTableName),
                                        campi.join(QStringLiteral(", ")), segnaposto.join(QStringLiteral(", "))));
    for (const QSqlRecord& r : uniche) {
        for (int n = 0; n < campi.size(); ++n)
            ins.bindValue(segnaposto.at(n), r.value(campi.at(n)));
        Database::esegui(ins);
    }
    t.conferma();
}

QString RiferimentoSelezione(const QString& dataBaseName, const QString& tabella)
{
    if (eLavoro(dataBaseName).value_or(false))
        return QStringLiteral("':dbPresUt:%1'").arg(tabella);
    return tabella;
}

QString OrdineSelezione(const QString& sortFields)
{
    QStringList campi;
    for (const QString& c : sortFields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (identificatore(c.trimmed()))
            campi << c.trimmed();
    if (campi.isEmpty())
        campi = {QStringLiteral("Cognome"), QStringLiteral("Nome")};
    if (!campi.contains(QLatin1String("Id"), Qt::CaseInsensitive))
        campi << QStringLiteral("Id");
    return campi.join(QStringLiteral(", "));
}

QString IstruzioneSelezione(const QString& dataBaseName, const QString& tabella, const QString& sortFields, const QString& campi)
{
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(campi, RiferimentoSelezione(dataBaseName, tabella), OrdineSelezione(sortFields));
}
