#include "tdtmturni.h"

#include "festivita.h"
#include "messaggi.h"
#include "tdtmpresenze.h"

#include <QSqlQuery>

namespace {

OrarioTurno leggiOrario(const QSqlQuery& q, int primo)
{
    OrarioTurno o;
    o.id = q.value(primo).toInt();
    o.esiste = !q.value(primo + 1).isNull();
    o.descr = q.value(primo + 1).toString();
    o.prima = q.value(primo + 2).toInt();
    o.ultima = q.value(primo + 3).toInt();
    o.chiusura = q.value(primo + 4).toString();
    o.oreMedie = q.value(primo + 5).toInt();
    return o;
}

GiornoTurno nuovoGiorno(int numOrd)
{
    return {numOrd, QStringLiteral("O"), {}};
}

}  // namespace

TdtmTurni::TdtmTurni(TdtmPresenze& dtm, QObject* parent) : QObject(parent), m_dtm(dtm) {}

QString TdtmTurni::NomeGiorno(int numOrd)
{
    static const char* const nomi[kGiorni] = {"Domenica", "Lunedì", "Martedì", "Mercoledì", "Giovedì", "Venerdì", "Sabato"};
    return numOrd >= 1 && numOrd <= kGiorni ? QString::fromUtf8(nomi[numOrd - 1]) : QString();
}

QString TdtmTurni::NomeGiornoBreve(int numOrd)
{
    return NomeGiorno(numOrd).left(3);
}

// --- Rotations ---------------------------------------------------------------------------------

QList<VoceElenco> TdtmTurni::ElencoTurni() const
{
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT Id, Descr FROM Turni ORDER BY Descr, Id"));
    QList<VoceElenco> l;
    while (q.next())
        l.append({q.value(0).toInt(), q.value(1).toString()});
    return l;
}

QList<OrarioTurno> TdtmTurni::ElencoOrari() const
{
    QSqlQuery q = m_dtm.db().esegui(
        QStringLiteral("SELECT Id, Descr, PrimaTimb, UltimaTimb, ChiusGio, OreMedie FROM OrariRep ORDER BY Descr, Id"));
    QList<OrarioTurno> l;
    while (q.next())
        l.append(leggiOrario(q, 0));
    return l;
}

QList<GiornoTurno> TdtmTurni::Composizione(int idTurno) const
{
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("SELECT CompTurni.NumOrd, CompTurni.TipoOrario, CompTurni.IdDaUsare, OrariRep.Descr, "
                                                   "OrariRep.PrimaTimb, OrariRep.UltimaTimb, OrariRep.ChiusGio, OrariRep.OreMedie "
                                                   "FROM CompTurni LEFT OUTER JOIN OrariRep ON OrariRep.Id = CompTurni.IdDaUsare "
                                                   "WHERE CompTurni.IdTurno = :id ORDER BY CompTurni.NumOrd"),
                                    {{"id", idTurno}});
    QList<GiornoTurno> l;
    while (q.next())
        l.append({q.value(0).toInt(), q.value(1).toString(), leggiOrario(q, 2)});
    return l;
}

void TdtmTurni::imposta(Modo modo)
{
    if (m_modo == modo)
        return;
    m_modo = modo;
    emit modoCambiato(modo);
}

void TdtmTurni::ApriTurno(int id)
{
    const QList<VoceElenco> turni = ElencoTurni();
    auto it = std::find_if(turni.begin(), turni.end(), [id](const VoceElenco& v) { return v.id == id; });
    if (it == turni.end())
        it = turni.begin();
    m_id = it == turni.end() ? 0 : it->id;
    m_descr = it == turni.end() ? QString() : it->descr;
    m_giorni = m_id ? Composizione(m_id) : QList<GiornoTurno>();
    m_salvati.clear();
    m_corrente = 0;
    imposta(Modo::Consultazione);
}

void TdtmTurni::IniziaInserimento()
{
    m_descrProposta = QStringLiteral("Id") + QString::number(m_dtm.NuovoId(QStringLiteral("Turni")));
    m_id = 0;
    m_descr = m_descrProposta;
    m_giorni = {nuovoGiorno(1)};
    m_salvati.clear();
    m_corrente = 0;
    imposta(Modo::Inserimento);
}

bool TdtmTurni::IniziaModifica()
{
    if (m_modo != Modo::Consultazione || m_giorni.isEmpty())
        return false;
    m_salvati = m_giorni;
    m_corrente = std::clamp(m_corrente, 0, int(m_giorni.size()) - 1);
    imposta(Modo::Modifica);
    return true;
}

void TdtmTurni::ImpostaDescrizione(const QString& descr)
{
    if (m_modo != Modo::Consultazione)
        m_descr = descr;
}

void TdtmTurni::ImpostaGiornoCorrente(int indice)
{
    if (indice >= 0 && indice < m_giorni.size() && m_modo != Modo::Inserimento)
        m_corrente = indice;
}

void TdtmTurni::ImpostaOrario(const OrarioTurno& orario)
{
    if (m_modo == Modo::Consultazione || m_corrente >= m_giorni.size())
        return;
    GiornoTurno& g = m_giorni[m_corrente];
    if (g.orario.id == orario.id)
        return;
    g.orario = orario;
    // A day given a timetable uses it, whatever kind of day it was.
    g.tipo = QStringLiteral("O");
}

TdtmTurni::Esito TdtmTurni::Prossimo()
{
    if (m_modo != Modo::Inserimento || UltimoGiorno())
        return {};
    if (m_giorni.last().orario.id <= 0)
        return {Msg::ErrDatoMancante, Campo::Orario};
    m_giorni.append(nuovoGiorno(int(m_giorni.size()) + 1));
    m_corrente = int(m_giorni.size()) - 1;
    return {};
}

TdtmTurni::Esito TdtmTurni::Conferma()
{
    if (m_modo == Modo::Consultazione)
        return {};
    if (m_descr.trimmed().isEmpty())
        return {Msg::ErrDatoMancante, Campo::Descrizione};
    if (m_modo == Modo::Inserimento && !UltimoGiorno())
        return {Msg::ErrDatoMancante, Campo::Orario};
    for (int n = 0; n < m_giorni.size(); ++n) {
        if (m_giorni[n].tipo == QLatin1String("O") && m_giorni[n].orario.id <= 0) {
            if (m_modo == Modo::Modifica)
                m_corrente = n;
            return {Msg::ErrDatoMancante, Campo::Orario};
        }
    }

    Database& db = m_dtm.db();
    int id = m_id;
    {
        Transazione tr(db);
        if (m_modo == Modo::Inserimento) {
            id = m_dtm.NuovoId(QStringLiteral("Turni"));
            // The proposed name follows the id the rotation really takes (another workstation
            // may have taken the one proposed meanwhile).
            const QString descr = m_descr == m_descrProposta ? QStringLiteral("Id") + QString::number(id) : m_descr;
            db.esegui(QStringLiteral("INSERT INTO Turni (Id, Descr, Durata) VALUES (:id, :descr, :durata)"),
                      {{"id", id}, {"descr", descr}, {"durata", kGiorni}});
            QVariant inizio = db.valore(QStringLiteral("SELECT DataInst FROM ConfigGen"));
            if (inizio.isNull())
                inizio = Sql::data(m_dtm.Oggi());
            QSqlQuery giorno = db.prepara(QStringLiteral("INSERT INTO CompTurni (IdTurno, NumOrd, DataInizio, TipoOrario, IdDaUsare) "
                                                         "VALUES (:id, :num, :inizio, :tipo, :orario)"));
            for (const GiornoTurno& g : std::as_const(m_giorni)) {
                giorno.bindValue(QStringLiteral(":id"), id);
                giorno.bindValue(QStringLiteral(":num"), g.numOrd);
                giorno.bindValue(QStringLiteral(":inizio"), inizio);
                giorno.bindValue(QStringLiteral(":tipo"), g.tipo);
                giorno.bindValue(QStringLiteral(":orario"), g.orario.id);
                Database::esegui(giorno);
            }
        } else {
            db.esegui(QStringLiteral("UPDATE Turni SET Descr = :descr WHERE Id = :id"), {{"descr", m_descr}, {"id", id}});
            QSqlQuery giorno = db.prepara(
                QStringLiteral("UPDATE CompTurni SET TipoOrario = :tipo, IdDaUsare = :orario WHERE IdTurno = :id AND NumOrd = :num"));
            for (int n = 0; n < m_giorni.size(); ++n) {
                const GiornoTurno& g = m_giorni[n];
                if (n < m_salvati.size() && g.orario.id == m_salvati[n].orario.id && g.tipo == m_salvati[n].tipo)
                    continue;
                giorno.bindValue(QStringLiteral(":tipo"), g.tipo);
                giorno.bindValue(QStringLiteral(":orario"), g.orario.id);
                giorno.bindValue(QStringLiteral(":id"), id);
                giorno.bindValue(QStringLiteral(":num"), g.numOrd);
                Database::esegui(giorno);
            }
        }
        tr.conferma();
    }
    ApriTurno(id);
    return {};
}

void TdtmTurni::Annulla()
{
    if (m_modo == Modo::Consultazione)
        return;
    if (m_modo == Modo::Modifica) {
        m_giorni = m_salvati;
        m_salvati.clear();
        imposta(Modo::Consultazione);
        return;
    }
    // A new rotation left nothing behind; browsing starts again from the first.
    m_id = 0;
    m_descr.clear();
    m_giorni.clear();
    m_corrente = 0;
    imposta(Modo::Consultazione);
}

int TdtmTurni::UsoTurno(int id) const
{
    return m_dtm.db().esisteRiga(QStringLiteral("SELECT Profilo.IdOrari FROM Profilo\n  WHERE (Profilo.IdOrari=:id)"), {{"id", id}})
               ? Msg::ErrTurnoInUso
               : 0;
}

int TdtmTurni::CancellaTurno(int id)
{
    Database& db = m_dtm.db();
    Transazione tr(db);
    // Checked again under the write lock: another workstation may have given the rotation
    // to a profile since the window asked.
    if (const int uso = UsoTurno(id))
        return uso;
    db.esegui(QStringLiteral("DELETE FROM CompTurni WHERE IdTurno = :id"), {{"id", id}});
    db.esegui(QStringLiteral("DELETE FROM Turni WHERE Id = :id"), {{"id", id}});
    tr.conferma();
    return 0;
}

QList<BarraTurno> TdtmTurni::Barre(const QList<GiornoTurno>& giorni)
{
    QList<BarraTurno> barre;
    for (int n = 1; n <= giorni.size(); ++n) {
        const OrarioTurno& o = giorni[n - 1].orario;
        if (!o.esiste || giorni[n - 1].tipo != QLatin1String("O"))
            continue;
        const double inizio = o.prima / 60.0, fine = o.ultima / 60.0;
        const bool rosso = o.oreMedie > 0;
        if (o.chiusura == QLatin1String("A")) {
            barre.append({n, inizio, fine, rosso});
        } else {
            // The week goes round: Saturday's night ends on Sunday, the first row.
            barre.append({n, inizio, 24.0, rosso});
            barre.append({n % kGiorni + 1, 0.0, fine, rosso});
        }
    }
    return barre;
}

// --- Holiday calendar -----------------------------------------------------------------------------

void TdtmTurni::creaCalendario()
{
    Database& db = m_dtm.db();
    if (!db.esisteRiga(QStringLiteral("SELECT Id FROM Calendari WHERE Id = :id"), {{"id", kCalendario}}))
        db.esegui(QStringLiteral("INSERT INTO Calendari (Id, Descr) VALUES (:id, :descr)"),
                  {{"id", kCalendario}, {"descr", QStringLiteral("Calendario")}});
}

void TdtmTurni::PreparaCalendario()
{
    Transazione tr(m_dtm.db());
    creaCalendario();
    tr.conferma();
}

QList<QDate> TdtmTurni::festiviTra(const QDate& dal, const QDate& al) const
{
    QString sql = QStringLiteral("SELECT Giorno FROM RelCalend WHERE IdCalend = :cal AND Tipo = 'F'");
    if (dal.isValid())
        sql += QStringLiteral(" AND Giorno >= :dal AND Giorno <= :al");
    sql += QStringLiteral(" ORDER BY Giorno");
    QSqlQuery q = dal.isValid() ? m_dtm.db().esegui(sql, {{"cal", kCalendario}, {"dal", Sql::data(dal)}, {"al", Sql::data(al)}})
                                : m_dtm.db().esegui(sql, {{"cal", kCalendario}});
    QList<QDate> l;
    while (q.next())
        l.append(Sql::leggiData(q.value(0)));
    return l;
}

QList<QDate> TdtmTurni::Festivi() const
{
    return festiviTra({}, {});
}

bool TdtmTurni::Festivo(const QDate& giorno) const
{
    return m_dtm.db().esisteRiga(QStringLiteral("SELECT Giorno FROM RelCalend WHERE IdCalend = :cal AND Giorno = :giorno AND Tipo = 'F'"),
                                 {{"cal", kCalendario}, {"giorno", Sql::data(giorno)}});
}

bool TdtmTurni::AggiungiFestivo(const QDate& giorno)
{
    return AggiungiFestivi({giorno}) == 1;
}

bool TdtmTurni::RimuoviFestivo(const QDate& giorno)
{
    QSqlQuery q = m_dtm.db().esegui(QStringLiteral("DELETE FROM RelCalend WHERE IdCalend = :cal AND Giorno = :giorno AND Tipo = 'F'"),
                                    {{"cal", kCalendario}, {"giorno", Sql::data(giorno)}});
    return q.numRowsAffected() > 0;
}

QList<QDate> TdtmTurni::FestivitaMancanti(int anno) const
{
    const QList<QDate> presenti = festiviTra(QDate(anno, 1, 1), QDate(anno, 12, 31));
    QList<QDate> mancanti;
    for (const QDate& d : Festivita::Nazionali(anno))
        if (!presenti.contains(d))
            mancanti.append(d);
    return mancanti;
}

int TdtmTurni::AggiungiFestivi(const QList<QDate>& giorni)
{
    Database& db = m_dtm.db();
    Transazione tr(db);
    // Processing finds holidays only in calendar 1: it must exist before its first day.
    creaCalendario();
    QSqlQuery ins = db.prepara(QStringLiteral("INSERT INTO RelCalend (IdCalend, Giorno, Tipo) VALUES (:cal, :giorno, 'F')"));
    int aggiunti = 0;
    for (const QDate& d : giorni) {
        if (!d.isValid() || Festivo(d))
            continue;
        ins.bindValue(QStringLiteral(":cal"), kCalendario);
        ins.bindValue(QStringLiteral(":giorno"), Sql::data(d));
        Database::esegui(ins);
        ++aggiunti;
    }
    tr.conferma();
    return aggiunti;
}
