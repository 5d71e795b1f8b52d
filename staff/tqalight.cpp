#include "tqalight.h"

#include "messaggi.h"

#include "tdtmpresenze.h"

#include <stdexcept>

namespace {


FabbricaDialogoQA& fabbricaComune()
{
    static FabbricaDialogoQA f;
    return f;
}

}  // namespace

TQALight::TQALight(TdtmPresenze& dtm) : m_dtm(dtm), m_ricerca(dtm) {}

TQALight::~TQALight() = default;

void TQALight::RegistraFabbrica(FabbricaDialogoQA f)
{
    fabbricaComune() = std::move(f);
}

void TQALight::setClassTypeFilter(ClasseRicerca c)
{
    if (c != ClasseRicerca::ctEmployees && DumpMode() == ModoCopia::dmProfile)
        throw std::invalid_argument(m_dtm.TestoErrore(Msg::ErrImpostazioni).toStdString());
    m_ricerca.impostazioni().classe = c;
}

void TQALight::setDumpMode(ModoCopia m)
{
    if (m == ModoCopia::dmProfile && ClassTypeFilter() != ClasseRicerca::ctEmployees)
        throw std::invalid_argument(m_dtm.TestoErrore(Msg::ErrImpostazioni).toStdString());
    m_ricerca.impostazioni().modo = m;
}

int TQALight::Execute(QWidget* parent)
{
    if (!m_dialogo) {
        if (!m_ricerca.ArchivioValido()) {
            m_dtm.MostraErrore(Msg::ErrArchivio);
            m_result = RisAnnullato;
            return m_result;
        }
        const FabbricaDialogoQA& fabbrica = m_fabbrica ? m_fabbrica : fabbricaComune();
        if (!fabbrica)
            throw std::logic_error(m_dtm.TestoErrore(Msg::ErrDialogo).toStdString());
        // A new dialog starts from scratch: no conditions and no results of an earlier one.
        m_ricerca.Azzera();
        m_ricerca.AzzeraRisultati();
        m_dialogo = fabbrica(*this);
    } else if (m_autoReset) {
        m_ricerca.Azzera();
    }
    m_result = m_dialogo->Esegui(parent, m_startOnSearchPage);
    m_sortFields = m_ricerca.SortFields();
    if (m_freeDialog)
        m_dialogo.reset();
    return m_result;
}

QString TQALight::IstruzioneSelezione(const QString& campi) const
{
    if (m_result != RisTutti)
        return ::IstruzioneSelezione(TempDataBaseName(), TempTableName(), m_sortFields, campi);
    // Everybody: the register itself, still limited to the class the component searches.
    QString sql = ::IstruzioneSelezione(DataBaseName(), QStringLiteral("Anagrafico"), m_sortFields, campi);
    const ClasseRicerca c = ClassTypeFilter();
    if (c != ClasseRicerca::ctSelect)
        sql.insert(sql.indexOf(QLatin1String(" ORDER BY ")),
                   c == ClasseRicerca::ctEmployees ? QStringLiteral(" WHERE Classe = 'D'") : QStringLiteral(" WHERE Classe = 'V'"));
    return sql;
}
