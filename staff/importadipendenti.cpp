#include "importadipendenti.h"

#include "messaggi.h"

#include "avanzamento.h"
#include "registrobadge.h"
#include "tdtmanagrafico.h"
#include "tdtmpresenze.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

enum Colonna { Cognome, Nome, Matricola, Badge, Livello, Reparto, Qualifica, Assunzione, Cessazione, Turno, OrarioFestivo,
               Straordinario, NumColonne };

struct DefColonna {
    const char* nome;
    bool obbligatoria;
};
constexpr DefColonna kColonne[NumColonne] = {
    {"Cognome", true},  {"Nome", true},       {"Matricola", false},  {"Badge", true},
    {"Livello", false}, {"Reparto", true},    {"Qualifica", true},   {"Assunzione", true},
    {"Cessazione", false}, {"Turno", false},  {"OrarioFestivo", false}, {"Straordinario", false},
};

QString nomeColonna(int c)
{
    return QString::fromLatin1(kColonne[c].nome);
}

// The column of the file that holds an editor's field.
int colonnaDi(CampoAnag campo)
{
    switch (campo) {
    case CampoAnag::Cognome: return Cognome;
    case CampoAnag::Nome: return Nome;
    case CampoAnag::Matricola: return Matricola;
    case CampoAnag::Codice: return Badge;
    case CampoAnag::Livello: return Livello;
    case CampoAnag::Reparto: return Reparto;
    case CampoAnag::Qualifica: return Qualifica;
    case CampoAnag::Assunzione: return Assunzione;
    case CampoAnag::Licenziamento: return Cessazione;
    case CampoAnag::Turno: return Turno;
    case CampoAnag::OrarioFestivo: return OrarioFestivo;
    case CampoAnag::Note:
    case CampoAnag::Nessuno: break;
    }
    return -1;
}

// Windows-1252 where it differs from Latin-1 (0x80 to 0x9F); 0 where it has no character.
constexpr char16_t kCp1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                  0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                  0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// dd/mm/yyyy, the day and month also with one digit; a day the calendar lacks is no date.
QDate leggiData(const QString& testo)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const QRegularExpressionMatch m = re.match(testo);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

QString percorsoNormale(const QString& testo)
{
    QStringList parti = testo.split(QLatin1Char('/'));
    for (QString& p : parti)
        p = p.trimmed();
    return parti.join(QStringLiteral(" / "));
}

// The id named by `nome`, or the message that refuses it: a unit by its name or, when several
// share it, by its path; a rotation or timetable by its name.
struct Risolto {
    int id = 0;
    int errore = 0;
};
Risolto risolvi(const QString& nome, const QList<UnitaOrganico>& unita)
{
    QList<int> perNome, perPercorso;
    const QString percorso = percorsoNormale(nome);
    for (const UnitaOrganico& u : unita) {
        if (u.descr.trimmed().compare(nome, Qt::CaseInsensitive) == 0)
            perNome << u.id;
        if (u.percorso.compare(percorso, Qt::CaseInsensitive) == 0)
            perPercorso << u.id;
    }
    if (perNome.size() == 1)
        return {perNome.first(), 0};
    if (perPercorso.size() == 1)
        return {perPercorso.first(), 0};
    return {0, perNome.size() + perPercorso.size() > 1 ? int(Msg::ErrImportAmbiguo) : int(Msg::ErrImportNome)};
}

Risolto risolvi(const QString& nome, const QList<VoceAnagrafico>& voci)
{
    QList<UnitaOrganico> u;
    for (const VoceAnagrafico& v : voci)
        u.append({v.id, v.descr, QString()});
    return risolvi(nome, u);
}

// Ends the progress however the import ends.
class FineAvanzamento {
public:
    explicit FineAvanzamento(Avanzamento& a) : m_a(a) {}
    ~FineAvanzamento() { m_a.Termina(); }

private:
    Avanzamento& m_a;
};

}  // namespace

// --- CSV ---------------------------------------------------------------------------------------

namespace Csv {

QString Decodifica(const QByteArray& dati)
{
    QByteArray testo = dati;
    if (testo.startsWith("\xEF\xBB\xBF"))
        testo.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString s = utf8.decode(testo);
    if (!utf8.hasError())
        return s;
    QString w;
    w.reserve(testo.size());
    for (const char c : std::as_const(testo)) {
        const auto b = static_cast<unsigned char>(c);
        w.append(b >= 0x80 && b < 0xA0 && kCp1252[b - 0x80] ? QChar(kCp1252[b - 0x80]) : QChar(b));
    }
    return w;
}

QChar Separatore(const QString& testo)
{
    int puntiEVirgola = 0, virgole = 0;
    bool virgolette = false;
    for (const QChar c : testo) {
        if (c == QLatin1Char('"'))
            virgolette = !virgolette;
        else if (!virgolette && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!virgolette && c == QLatin1Char(';'))
            ++puntiEVirgola;
        else if (!virgolette && c == QLatin1Char(','))
            ++virgole;
    }
    return virgole > puntiEVirgola ? QLatin1Char(',') : QLatin1Char(';');
}

QList<RigaCsv> Leggi(const QString& testo, QChar separatore)
{
    QList<RigaCsv> righe;
    RigaCsv corrente{1, {}};
    QString campo;
    bool virgolette = false;
    int riga = 1;
    const auto chiudiRecord = [&] {
        corrente.campi << campo;
        campo.clear();
        if (std::any_of(corrente.campi.cbegin(), corrente.campi.cend(), [](const QString& c) { return !c.trimmed().isEmpty(); }))
            righe << corrente;
        corrente = {riga, {}};
    };
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo.at(i);
        if (virgolette) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < testo.size() && testo.at(i + 1) == QLatin1Char('"')) {
                    campo += c;
                    ++i;
                } else {
                    virgolette = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++riga;
                campo += c;
            }
        } else if (c == QLatin1Char('"') && campo.trimmed().isEmpty()) {
            campo.clear();
            virgolette = true;
        } else if (c == separatore) {
            corrente.campi << campo;
            campo.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < testo.size() && testo.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++riga;
            chiudiRecord();
        } else {
            campo += c;
        }
    }
    if (!campo.isEmpty() || !corrente.campi.isEmpty())
        chiudiRecord();
    return righe;
}

}  // namespace Csv

// --- Import ------------------------------------------------------------------------------------

const QStringList& ImportaDipendenti::Colonne()
{
    static const QStringList l = [] {
        QStringList n;
        for (int c = 0; c < NumColonne; ++c)
            n << nomeColonna(c);
        return n;
    }();
    return l;
}

QString ImportaDipendenti::Descrivi(const ValoreRifiutato& r) const
{
    TdtmPresenze& dtm = m_anag.dtm();
    const QString motivo = TdtmPresenze::ConDettaglio(dtm.TestoErrore(r.errore), r.dettaglio);
    if (r.riga <= 0)
        return motivo;
    QString dove = dtm.TestoScelta(Msg::EtRiga) + QLatin1Char(' ') + QString::number(r.riga);
    if (!r.colonna.isEmpty())
        dove += QStringLiteral(", ") + dtm.TestoScelta(Msg::EtColonna) + QLatin1Char(' ') + r.colonna;
    return dove + QStringLiteral(": ") + motivo;
}

EsitoImportazione ImportaDipendenti::Importa(const QByteArray& dati, Avanzamento& avanzamento)
{
    TdtmPresenze& dtm = m_anag.dtm();
    EsitoImportazione esito;
    const FineAvanzamento fine(avanzamento);
    const QString testo = Csv::Decodifica(dati);
    const QList<RigaCsv> record = Csv::Leggi(testo, Csv::Separatore(testo));
    if (record.size() < 2) {
        esito.rifiutati.append({0, QString(), Msg::ErrImportVuoto, QString()});
        return esito;
    }

    // --- The header -------------------------------------------------------------------------
    const RigaCsv& intestazione = record.constFirst();
    std::array<int, NumColonne> posizione;
    posizione.fill(-1);
    for (int i = 0; i < intestazione.campi.size(); ++i) {
        const QString nome = intestazione.campi.at(i).trimmed();
        int colonna = -1;
        for (int k = 0; k < NumColonne && colonna < 0; ++k)
            if (nomeColonna(k).compare(nome, Qt::CaseInsensitive) == 0)
                colonna = k;
        if (colonna < 0)
            esito.rifiutati.append({intestazione.riga, nome, Msg::ErrImportIntestazione, QString()});
        else if (posizione[colonna] >= 0)
            esito.rifiutati.append({intestazione.riga, nome, Msg::ErrImportColonnaDoppia, QString()});
        else
            posizione[colonna] = i;
    }
    for (int c = 0; c < NumColonne; ++c)
        if (kColonne[c].obbligatoria && posizione[c] < 0)
            esito.rifiutati.append({intestazione.riga, nomeColonna(c), Msg::ErrImportColonnaMancante, QString()});
    if (!esito.rifiutati.isEmpty())
        return esito;

    // --- Each line on its own -----------------------------------------------------------------
    struct Letto {
        int riga = 0;
        DatiDipendente d;
        std::array<QString, NumColonne> valori;
        QList<int> errate;  // columns already refused
    };
    QList<Letto> letti;
    const auto rifiuta = [&](Letto& l, int colonna, int errore, const QString& dettaglio = {}) {
        esito.rifiutati.append({l.riga, colonna < 0 ? QString() : intestazione.campi.at(posizione[colonna]).trimmed(), errore, dettaglio});
        l.errate << colonna;
    };
    const int quante = int(record.size()) - 1;
    avanzamento.Inizia(dtm.TestoScelta(Msg::EtControlloImport), quante);
    for (int n = 1; n < record.size(); ++n) {
        if (avanzamento.Annullato()) {
            esito.annullato = true;
            return esito;
        }
        const RigaCsv& r = record.at(n);
        Letto l;
        l.riga = r.riga;
        const qsizetype campi = intestazione.campi.size();
        bool extraPieni = false;
        for (qsizetype i = campi; i < r.campi.size(); ++i)
            extraPieni = extraPieni || !r.campi.at(i).trimmed().isEmpty();
        if (r.campi.size() < campi || extraPieni) {
            rifiuta(l, -1, Msg::ErrImportCampi);
            avanzamento.Valore(n);
            continue;
        }
        for (int c = 0; c < NumColonne; ++c)
            l.valori[c] = posizione[c] >= 0 ? r.campi.at(posizione[c]).trimmed() : QString();

        DatiDipendente& d = l.d;
        d = m_anag.Nuovo();
        d.Cognome = l.valori[Cognome];
        d.Nome = l.valori[Nome];
        d.Matricola = TdtmAnagrafico::RiempiZeri(l.valori[Matricola]);
        d.Codice = TdtmAnagrafico::RiempiZeri(l.valori[Badge]);
        d.Libero = l.valori[Livello];
        for (int c : {Cognome, Nome, Badge, Reparto, Qualifica, Assunzione})
            if (l.valori[c].isEmpty())
                rifiuta(l, c, Msg::ErrImportMancante);
        for (const auto& [c, testoCampo, massimo] : {std::tuple{Cognome, d.Cognome, TdtmAnagrafico::kLungCognome},
                                                     std::tuple{Nome, d.Nome, TdtmAnagrafico::kLungNome},
                                                     std::tuple{Matricola, d.Matricola, TdtmAnagrafico::kLungCodice},
                                                     std::tuple{Badge, d.Codice, TdtmAnagrafico::kLungCodice},
                                                     std::tuple{Livello, d.Libero, TdtmAnagrafico::kLungLibero}})
            if (testoCampo.size() > massimo)
                rifiuta(l, c, Msg::ErrImportLungo, QString::number(massimo));
        d.DataAssunz = leggiData(l.valori[Assunzione]);
        if (!l.valori[Assunzione].isEmpty() && !d.DataAssunz.isValid())
            rifiuta(l, Assunzione, Msg::ErrImportData);
        d.DataLicenz = leggiData(l.valori[Cessazione]);
        if (!l.valori[Cessazione].isEmpty() && !d.DataLicenz.isValid())
            rifiuta(l, Cessazione, Msg::ErrImportData);
        const QString stra = l.valori[Straordinario].toUpper();
        if (stra.isEmpty() || stra == QLatin1String("S") || stra == QLatin1String("SI") || stra == QStringLiteral("SÌ"))
            d.Autorizzato = true;
        else if (stra == QLatin1String("N") || stra == QLatin1String("NO"))
            d.Autorizzato = false;
        else
            rifiuta(l, Straordinario, Msg::ErrImportSN);
        letti.append(l);
        avanzamento.Valore(n);
    }

    if (!RegistroBadge::Attendi(dtm, m_anag.pausaRegistro())) {
        esito.rifiutati = {{0, QString(), Msg::ErrRegistroBadge, QString()}};
        return esito;
    }

    // --- Against the database, under the write lock ------------------------------------------
    Database& db = dtm.db();
    try {
        Transazione t(db);
        const QList<UnitaOrganico> reparti = m_anag.Reparti();
        const QList<UnitaOrganico> qualifiche = m_anag.Qualifiche();
        const QList<VoceAnagrafico> turni = m_anag.Turni();
        const QList<VoceAnagrafico> orari = m_anag.Orari();
        QHash<QString, int> badgeNelFile;
        for (Letto& l : letti) {
            if (l.errate.contains(-1))
                continue;
            DatiDipendente& d = l.d;
            const auto nome = [&](int colonna, const Risolto& r, int& id) {
                if (l.valori[colonna].isEmpty() || l.errate.contains(colonna))
                    return;
                if (r.errore)
                    rifiuta(l, colonna, r.errore);
                else
                    id = r.id;
            };
            nome(Reparto, risolvi(l.valori[Reparto], reparti), d.IdPianta);
            nome(Qualifica, risolvi(l.valori[Qualifica], qualifiche), d.IdRuolo);
            nome(Turno, risolvi(l.valori[Turno], turni), d.IdOrari);
            nome(OrarioFestivo, risolvi(l.valori[OrarioFestivo], orari), d.IdOrFestivo);
            if (!d.Codice.isEmpty() && !l.errate.contains(Badge)) {
                if (const auto prima = badgeNelFile.constFind(d.Codice); prima != badgeNelFile.cend())
                    rifiuta(l, Badge, Msg::ErrImportBadgeDoppio, QString::number(*prima));
                else
                    badgeNelFile.insert(d.Codice, l.riga);
            }
            // The editor's own rules on what is left: a code held by a stored employee, the
            // leaving date before the hiring date.
            for (const DifettoAnag& dif : m_anag.Verifica(d)) {
                const int colonna = colonnaDi(dif.campo);
                if (colonna < 0 || l.errate.contains(colonna) || l.valori[colonna].isEmpty())
                    continue;
                switch (dif.motivo) {
                case MotivoAnag::BadgeInUso: rifiuta(l, colonna, Msg::ErrImportBadgeInUso); break;
                case MotivoAnag::DateInvertite: rifiuta(l, colonna, Msg::ErrDateAssunzione); break;
                case MotivoAnag::Sconosciuto: rifiuta(l, colonna, Msg::ErrImportNome); break;
                case MotivoAnag::Mancante: rifiuta(l, colonna, Msg::ErrImportMancante); break;
                case MotivoAnag::TroppoLungo: break;  // reported above with its length
                }
            }
        }
        if (!esito.rifiutati.isEmpty()) {
            std::stable_sort(esito.rifiutati.begin(), esito.rifiutati.end(),
                             [](const ValoreRifiutato& a, const ValoreRifiutato& b) { return a.riga < b.riga; });
            return esito;
        }

        avanzamento.Inizia(dtm.TestoScelta(Msg::EtRegistrazioneImport), int(letti.size()));
        int id = m_anag.NuovoIdDipendente();
        for (int n = 0; n < letti.size(); ++n) {
            if (avanzamento.Annullato()) {
                esito.annullato = true;
                return esito;
            }
            m_anag.ScriviNuovo(letti.at(n).d, id++);
            avanzamento.Valore(n + 1);
        }
        t.conferma();
    } catch (const ErroreRegistroBadge&) {
        esito.rifiutati = {{0, QString(), Msg::ErrRegistroBadge, QString()}};
        return esito;
    }
    esito.importati = int(letti.size());
    dtm.ArchivioCambiato(QStringLiteral("Anagrafico"));
    return esito;
}
