#include "tdtmanagrafico.h"

#include "messaggi.h"

#include "cancelladipendente.h"
#include "registrobadge.h"
#include "ricercaanagrafico.h"
#include "tdtmpresenze.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>

namespace {

const QString kClasseDipendente = QStringLiteral("D");
const QString kCodiceNuovo = QStringLiteral("0000000000");
// "-1" of the original dates: the pay-item processing has not run yet.
const QDate kMaiElaborato(1899, 12, 29);

QVariant intero(int id)
{
    return id ? QVariant(id) : QVariant(QMetaType(QMetaType::Int));
}

// The employee's rows with the latest profile first; the caller keeps the first row of each id.
QString selezioneDipendenti(const QString& condizione, const QString& ordine)
{
    return QStringLiteral(
               "SELECT a.Id, a.Matricola, a.Cognome, a.Nome, a.Libero, a.Note, p.IdPianta, p.IdRuolo, p.DataAssunz, p.DataLicenz, "
               "p.Autorizzato, p.IdOrari, p.IdOrFestivo, up.Descr, ur.Descr, t.Descr, o.Descr, p.IdUtilizzatore "
               "FROM Anagrafico a "
               "LEFT JOIN Profilo p ON p.IdUtilizzatore = a.Id "
               "LEFT JOIN UnitaPianta up ON up.Id = p.IdPianta "
               "LEFT JOIN UnitaRuolo ur ON ur.Id = p.IdRuolo "
               "LEFT JOIN Turni t ON t.Id = p.IdOrari "
               "LEFT JOIN OrariRep o ON o.Id = p.IdOrFestivo "
               "WHERE %1 ORDER BY %2a.Id, p.DataInizio DESC")
        .arg(condizione, ordine);
}

// Fills `d` from a row of selezioneDipendenti; the profile part keeps its creation values
// when the employee has no profile.
void leggiRiga(const QSqlQuery& q, DatiDipendente& d)
{
    d.Id = q.value(0).toInt();
    d.Matricola = q.value(1).toString();
    d.Cognome = q.value(2).toString();
    d.Nome = q.value(3).toString();
    d.Libero = q.value(4).toString();
    d.Note = q.value(5).toString();
    if (q.value(17).isNull())
        return;
    d.ConProfilo = true;
    d.IdPianta = q.value(6).isNull() ? DatiDipendente::kNessunaUnita : q.value(6).toInt();
    d.IdRuolo = q.value(7).isNull() ? DatiDipendente::kNessunaUnita : q.value(7).toInt();
    d.DataAssunz = Sql::leggiData(q.value(8));
    d.DataLicenz = Sql::leggiData(q.value(9));
    d.Autorizzato = q.value(10).toString() == QLatin1String("S");
    d.IdOrari = q.value(11).toInt();
    d.IdOrFestivo = q.value(12).toInt();
    d.DescrPianta = q.value(13).toString();
    d.DescrRuolo = q.value(14).toString();
    d.DescrTurno = q.value(15).toString();
    d.DescrOrFest = q.value(16).toString();
}

// Badge codes by employee: the one with the latest start wins.
QHash<int, QString> codiciBadge(Database& db, const QVariant& id)
{
    QHash<int, QString> codici;
    QSqlQuery q = id.isNull() ? db.esegui(QStringLiteral("SELECT IdUtilizzatore, Codice FROM Badge ORDER BY IdUtilizzatore, DataInizio"))
                              : db.esegui(QStringLiteral("SELECT IdUtilizzatore, Codice FROM Badge WHERE IdUtilizzatore = :id "
                                                         "ORDER BY DataInizio"),
                                          {{"id", id}});
    while (q.next())
        codici.insert(q.value(0).toInt(), q.value(1).toString());
    return codici;
}

}  // namespace

bool DatiDipendente::StessiValori(const DatiDipendente& o) const
{
    return Id == o.Id && Matricola == o.Matricola && Cognome == o.Cognome && Nome == o.Nome && Libero == o.Libero && Note == o.Note
        && Codice == o.Codice && IdPianta == o.IdPianta && IdRuolo == o.IdRuolo && DataAssunz == o.DataAssunz
        && DataLicenz == o.DataLicenz && Autorizzato == o.Autorizzato && IdOrari == o.IdOrari && IdOrFestivo == o.IdOrFestivo;
}

int DifettoAnag::errore() const
{
    return motivo == MotivoAnag::DateInvertite ? Msg::ErrDateAssunzione : Msg::ErrDatoMancante;
}

TdtmAnagrafico::TdtmAnagrafico(TdtmPresenze& dtm, QObject* parent) : QObject(parent), m_dtm(dtm) {}

// --- Reading -------------------------------------------------------------------------------

QList<DatiDipendente> TdtmAnagrafico::Elenco(OrdineAnag ordine, bool soloSelezione)
{
    QString campi;
    switch (ordine) {
    case OrdineAnag::Nominativo: campi = QStringLiteral("a.Cognome, a.Nome, COALESCE(a.Matricola, ''), "); break;
    // An empty number or level sorts first on either engine.
    case OrdineAnag::Matricola: campi = QStringLiteral("COALESCE(a.Matricola, ''), "); break;
    case OrdineAnag::Libero: campi = QStringLiteral("COALESCE(a.Libero, ''), a.Cognome, a.Nome, "); break;
    }
    QString condizione = QStringLiteral("a.Classe = :classe");
    if (soloSelezione)
        condizione += QStringLiteral(" AND a.Id IN (SELECT Id FROM ':dbPresUt:TAnagCk')");
    Database& db = m_dtm.db();
    const QHash<int, QString> codici = codiciBadge(db, QVariant());
    QSqlQuery q = db.esegui(selezioneDipendenti(condizione, campi), {{"classe", kClasseDipendente}});
    QList<DatiDipendente> elenco;
    while (q.next()) {
        if (!elenco.isEmpty() && elenco.constLast().Id == q.value(0).toInt())
            continue;
        DatiDipendente d;
        d.Autorizzato = false;
        leggiRiga(q, d);
        d.Codice = codici.value(d.Id);
        elenco.append(d);
    }
    return elenco;
}

std::optional<DatiDipendente> TdtmAnagrafico::Leggi(int id)
{
    Database& db = m_dtm.db();
    QSqlQuery q = db.esegui(selezioneDipendenti(QStringLiteral("a.Id = :id"), QString()), {{"id", id}});
    if (!q.next())
        return std::nullopt;
    DatiDipendente d = Nuovo();
    leggiRiga(q, d);
    const QHash<int, QString> codici = codiciBadge(db, id);
    if (codici.contains(id))
        d.Codice = codici.value(id);
    return d;
}

DatiDipendente TdtmAnagrafico::Nuovo() const
{
    DatiDipendente d;
    d.Codice = kCodiceNuovo;
    d.DataAssunz = m_dtm.Oggi();
    return d;
}

QList<UnitaOrganico> TdtmAnagrafico::unita(const QString& tabella, const QString& campoPadre)
{
    struct Riga {
        QString descr;
        QVariant padre;
    };
    QHash<int, Riga> righe;
    QList<int> ordine;
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Id, Descr, %1 FROM %2").arg(campoPadre, tabella));
    while (q.next()) {
        const int id = q.value(0).toInt();
        if (!righe.contains(id))
            ordine.append(id);
        righe.insert(id, {q.value(1).toString(), q.value(2)});
    }
    QList<UnitaOrganico> l;
    for (int id : std::as_const(ordine)) {
        QStringList nomi;
        QSet<int> visti;
        // Up to the first unit whose parent is missing, or back at a unit already met.
        for (QVariant u = id; !u.isNull() && righe.contains(u.toInt()) && !visti.contains(u.toInt());) {
            const Riga& r = righe[u.toInt()];
            visti.insert(u.toInt());
            nomi.prepend(r.descr);
            u = r.padre;
        }
        l.append({id, righe.value(id).descr, nomi.join(QStringLiteral(" / "))});
    }
    std::sort(l.begin(), l.end(), [](const UnitaOrganico& a, const UnitaOrganico& b) {
        const int c = QString::localeAwareCompare(a.descr, b.descr);
        if (c != 0)
            return c < 0;
        const int p = QString::localeAwareCompare(a.percorso, b.percorso);
        return p != 0 ? p < 0 : a.id < b.id;
    });
    return l;
}

QList<UnitaOrganico> TdtmAnagrafico::Reparti()
{
    return unita(QStringLiteral("UnitaPianta"), QStringLiteral("IdPiantaPadre"));
}

QList<UnitaOrganico> TdtmAnagrafico::Qualifiche()
{
    return unita(QStringLiteral("UnitaRuolo"), QStringLiteral("IdRuoloPadre"));
}

QList<VoceAnagrafico> TdtmAnagrafico::voci(const QString& tabella)
{
    QList<VoceAnagrafico> l;
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Id, Descr FROM %1 ORDER BY Descr, Id").arg(tabella));
    while (q.next())
        l.append({q.value(0).toInt(), q.value(1).toString()});
    return l;
}

QList<VoceAnagrafico> TdtmAnagrafico::Turni()
{
    return voci(QStringLiteral("Turni"));
}

QList<VoceAnagrafico> TdtmAnagrafico::Orari()
{
    return voci(QStringLiteral("OrariRep"));
}

// --- The editor's rules --------------------------------------------------------------------

QString TdtmAnagrafico::RiempiZeri(const QString& codice)
{
    return codice.trimmed().isEmpty() ? QString() : RicercaAnagrafico::RiempiZeri(codice);
}

QList<DifettoAnag> TdtmAnagrafico::Verifica(const DatiDipendente& d)
{
    Database& db = m_dtm.db();
    QList<DifettoAnag> difetti;
    const auto difetto = [&](CampoAnag c, MotivoAnag m) { difetti.append({c, m}); };

    if (d.Cognome.trimmed().isEmpty())
        difetto(CampoAnag::Cognome, MotivoAnag::Mancante);
    if (d.Nome.trimmed().isEmpty())
        difetto(CampoAnag::Nome, MotivoAnag::Mancante);
    for (const auto& [campo, testo, massimo] : {std::tuple{CampoAnag::Cognome, d.Cognome, kLungCognome},
                                                std::tuple{CampoAnag::Nome, d.Nome, kLungNome},
                                                std::tuple{CampoAnag::Matricola, d.Matricola, kLungCodice},
                                                std::tuple{CampoAnag::Codice, d.Codice, kLungCodice},
                                                std::tuple{CampoAnag::Livello, d.Libero, kLungLibero}})
        if (testo.size() > massimo)
            difetto(campo, MotivoAnag::TroppoLungo);

    const auto unita = [&](CampoAnag campo, int id, const char* tabella) {
        if (id == DatiDipendente::kNessunaUnita)
            difetto(campo, MotivoAnag::Mancante);
        else if (!db.esisteRiga(QStringLiteral("SELECT 1 FROM %1 WHERE Id = :id").arg(QLatin1String(tabella)), {{"id", id}}))
            difetto(campo, MotivoAnag::Sconosciuto);
    };
    unita(CampoAnag::Reparto, d.IdPianta, "UnitaPianta");
    unita(CampoAnag::Qualifica, d.IdRuolo, "UnitaRuolo");

    if (d.Codice.trimmed().isEmpty())
        difetto(CampoAnag::Codice, MotivoAnag::Mancante);
    else if (db.esisteRiga(QStringLiteral("SELECT IdUtilizzatore FROM Badge WHERE Codice = :codice AND IdUtilizzatore <> :id"),
                           {{"codice", d.Codice}, {"id", d.Id}}))
        difetto(CampoAnag::Codice, MotivoAnag::BadgeInUso);

    if (!d.DataAssunz.isValid())
        difetto(CampoAnag::Assunzione, MotivoAnag::Mancante);
    else if (d.DataLicenz.isValid() && d.DataLicenz < d.DataAssunz)
        difetto(CampoAnag::Licenziamento, MotivoAnag::DateInvertite);

    const auto facoltativo = [&](CampoAnag campo, int id, const char* tabella) {
        if (id && !db.esisteRiga(QStringLiteral("SELECT 1 FROM %1 WHERE Id = :id").arg(QLatin1String(tabella)), {{"id", id}}))
            difetto(campo, MotivoAnag::Sconosciuto);
    };
    facoltativo(CampoAnag::Turno, d.IdOrari, "Turni");
    facoltativo(CampoAnag::OrarioFestivo, d.IdOrFestivo, "OrariRep");
    return difetti;
}

// --- Writing -------------------------------------------------------------------------------

int TdtmAnagrafico::NuovoIdDipendente()
{
    return std::max(m_dtm.NuovoId(QStringLiteral("Anagrafico")), kPrimoId);
}

void TdtmAnagrafico::ScriviNuovo(const DatiDipendente& d, int id)
{
    Database& db = m_dtm.db();
    db.esegui(QStringLiteral("INSERT INTO Anagrafico (Id, Matricola, Cognome, Nome, Libero, Note, Classe) "
                             "VALUES (:id, :matricola, :cognome, :nome, :libero, :note, :classe)"),
              {{"id", id},
               {"matricola", Sql::testo(d.Matricola)},
               {"cognome", d.Cognome},
               {"nome", d.Nome},
               {"libero", Sql::testo(d.Libero)},
               {"note", Sql::testo(d.Note)},
               {"classe", kClasseDipendente}});
    const QVariant assunz = Sql::data(d.DataAssunz);
    const QVariant licenz = Sql::data(d.DataLicenz);
    db.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, DataFine, IdNomina, IdAzienda, IdPianta, IdRuolo, "
                             "DataAssunz, DataLicenz, ModalTimbra, Autorizzato, TipoOrario, IdOrari, IdOrFestivo, InTurnazione, "
                             "InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, GestReperib, UltElabVoci) "
                             "VALUES (:id, :assunz, :licenz, 1, 1, :pianta, :ruolo, :assunz, :licenz, 'T', :aut, 'T', :orari, :festivo, "
                             ":assunz, :assunz, :assunz, :assunz, :assunz, :assunz, 'N', :ultelab)"),
              {{"id", id},
               {"assunz", assunz},
               {"licenz", licenz},
               {"pianta", d.IdPianta},
               {"ruolo", d.IdRuolo},
               {"aut", d.Autorizzato ? QStringLiteral("S") : QStringLiteral("N")},
               {"orari", intero(d.IdOrari)},
               {"festivo", intero(d.IdOrFestivo)},
               {"ultelab", Sql::data(kMaiElaborato)}});
    db.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, DataFine, IdUtilizzatore) VALUES (:codice, :assunz, :licenz, :id)"),
              {{"codice", d.Codice}, {"assunz", assunz}, {"licenz", licenz}, {"id", id}});
    RegistroBadge::Scrivi(m_dtm, RegistroBadge::Assegnato, d.Codice);
}

EsitoAnag TdtmAnagrafico::Registra(DatiDipendente& d)
{
    DatiDipendente v = d;
    v.Matricola = RiempiZeri(v.Matricola);
    v.Codice = RiempiZeri(v.Codice);
    if (!RegistroBadge::Attendi(m_dtm, m_pausaRegistro))
        return {Msg::ErrRegistroBadge, CampoAnag::Nessuno};

    Database& db = m_dtm.db();
    int id = v.Id;
    try {
        // Checked and written under the write lock, which the transaction takes at once: no
        // other workstation can give the badge code away or take the id meanwhile.
        Transazione t(db);
        const QList<DifettoAnag> difetti = Verifica(v);
        if (!difetti.isEmpty())
            return {difetti.constFirst().errore(), difetti.constFirst().campo};
        if (v.Id == 0) {
            id = NuovoIdDipendente();
            ScriviNuovo(v, id);
        } else {
            const QVariant assunz = Sql::data(v.DataAssunz);
            const QVariant licenz = Sql::data(v.DataLicenz);
            // One badge row per employee: the ones he had make way for the one confirmed.
            QStringList prima;
            QSqlQuery b = db.esegui(QStringLiteral("SELECT Codice FROM Badge WHERE IdUtilizzatore = :id ORDER BY DataInizio"), {{"id", id}});
            while (b.next())
                prima << b.value(0).toString();
            db.esegui(QStringLiteral("DELETE FROM Badge WHERE IdUtilizzatore = :id"), {{"id", id}});
            db.esegui(QStringLiteral("INSERT INTO Badge (Codice, DataInizio, DataFine, IdUtilizzatore) VALUES (:codice, :assunz, :licenz, :id)"),
                      {{"codice", v.Codice}, {"assunz", assunz}, {"licenz", licenz}, {"id", id}});

            // The editor works on the latest profile; earlier ones keep the past as processed.
            const QVariant inizio = db.valore(QStringLiteral("SELECT MAX(DataInizio) FROM Profilo WHERE IdUtilizzatore = :id"), {{"id", id}});
            const QString aut = v.Autorizzato ? QStringLiteral("S") : QStringLiteral("N");
            if (inizio.isNull()) {
                db.esegui(QStringLiteral("INSERT INTO Profilo (IdUtilizzatore, DataInizio, DataFine, IdNomina, IdAzienda, IdPianta, "
                                         "IdRuolo, DataAssunz, DataLicenz, ModalTimbra, Autorizzato, TipoOrario, IdOrari, IdOrFestivo, "
                                         "InTurnazione, InPeriodo1, InPeriodo2, InPeriodo3, InPeriodo4, InPeriodo5, GestReperib, "
                                         "UltElabVoci) VALUES (:id, :assunz, :licenz, 1, 1, :pianta, :ruolo, :assunz, :licenz, 'T', :aut, "
                                         "'T', :orari, :festivo, :assunz, :assunz, :assunz, :assunz, :assunz, :assunz, 'N', :ultelab)"),
                          {{"id", id},
                           {"assunz", assunz},
                           {"licenz", licenz},
                           {"pianta", v.IdPianta},
                           {"ruolo", v.IdRuolo},
                           {"aut", aut},
                           {"orari", intero(v.IdOrari)},
                           {"festivo", intero(v.IdOrFestivo)},
                           {"ultelab", Sql::data(kMaiElaborato)}});
            } else {
                db.esegui(QStringLiteral("UPDATE Profilo SET DataInizio = :assunz, DataFine = :licenz, IdPianta = :pianta, "
                                         "IdRuolo = :ruolo, DataAssunz = :assunz, DataLicenz = :licenz, Autorizzato = :aut, "
                                         "IdOrari = :orari, IdOrFestivo = :festivo, InTurnazione = :assunz, InPeriodo1 = :assunz, "
                                         "InPeriodo2 = :assunz, InPeriodo3 = :assunz, InPeriodo4 = :assunz, InPeriodo5 = :assunz "
                                         "WHERE IdUtilizzatore = :id AND DataInizio = :inizio"),
                          {{"assunz", assunz},
                           {"licenz", licenz},
                           {"pianta", v.IdPianta},
                           {"ruolo", v.IdRuolo},
                           {"aut", aut},
                           {"orari", intero(v.IdOrari)},
                           {"festivo", intero(v.IdOrFestivo)},
                           {"id", id},
                           {"inizio", inizio}});
            }
            QSqlQuery a = db.esegui(QStringLiteral("UPDATE Anagrafico SET Matricola = :matricola, Cognome = :cognome, Nome = :nome, "
                                                   "Libero = :libero, Note = :note WHERE Id = :id"),
                                    {{"matricola", Sql::testo(v.Matricola)},
                                     {"cognome", v.Cognome},
                                     {"nome", v.Nome},
                                     {"libero", Sql::testo(v.Libero)},
                                     {"note", Sql::testo(v.Note)},
                                     {"id", id}});
            // Deleted at another workstation: the badge and profile just written would belong
            // to nobody, and to the next employee who takes the id.
            if (a.numRowsAffected() == 0)
                return {Msg::ErrDipendenteScomparso, CampoAnag::Nessuno};

            // A code withdrawn for every row that held another one; assigned unless he had it.
            for (const QString& c : std::as_const(prima))
                if (c != v.Codice)
                    RegistroBadge::Scrivi(m_dtm, RegistroBadge::Ritirato, c);
            if (!prima.contains(v.Codice))
                RegistroBadge::Scrivi(m_dtm, RegistroBadge::Assegnato, v.Codice);
        }
        t.conferma();
    } catch (const ErroreRegistroBadge&) {
        return {Msg::ErrRegistroBadge, CampoAnag::Nessuno};
    }
    v.Id = id;
    d = v;
    m_dtm.ArchivioCambiato(QStringLiteral("Anagrafico"));
    return {};
}

int TdtmAnagrafico::Cancella(int id)
{
    if (!RegistroBadge::Attendi(m_dtm, m_pausaRegistro))
        return Msg::ErrRegistroBadge;
    Database& db = m_dtm.db();
    try {
        // The punches go with him: raw data waits for the disk.
        Transazione t(db, Durata::Piena);
        if (!CancellaDipendente(m_dtm, id))
            return Msg::ErrDipendenteScomparso;
        t.conferma();
    } catch (const ErroreRegistroBadge&) {
        return Msg::ErrRegistroBadge;
    }
    db.esegui(QStringLiteral("DELETE FROM ':dbPresUt:TAnagCk' WHERE Id = :id"), {{"id", id}});
    m_dtm.ArchivioCambiato(QStringLiteral("Anagrafico"));
    return 0;
}
