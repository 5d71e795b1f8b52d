#include "protocollo.h"

namespace Protocollo {

uint16_t Crc16(const char* dati, qsizetype lunghezza)
{
    // CRC-16 with polynomial 0x1021 and initial value 0xFFFF, most significant bit first.
    uint16_t crc = 0xFFFF;
    for (qsizetype i = 0; i < lunghezza; ++i) {
        crc ^= uint16_t(uint8_t(dati[i])) << 8;
        for (int b = 0; b < 8; ++b)
            crc = (crc & 0x8000) ? uint16_t((crc << 1) ^ 0x1021) : uint16_t(crc << 1);
    }
    return crc;
}

void ScriviIntero(QByteArray& a, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        a.append(char((v >> s) & 0xFF));
}

uint32_t LeggiIntero(const QByteArray& a, qsizetype da)
{
    uint32_t v = 0;
    for (qsizetype i = da; i < da + 4 && i < a.size(); ++i)
        v = (v << 8) | uint8_t(a.at(i));
    return v;
}

QByteArray Codifica(const Trama& t)
{
    QByteArray f;
    f.reserve(Intestazione + t.dati.size() + 2);
    f.append(char(Inizio));
    f.append(char((t.indirizzo & 0x0F) | (t.risposta ? BitRisposta : 0)));
    f.append(char(t.tipo));
    f.append(char(t.sequenza));
    f.append(char((t.dati.size() >> 8) & 0xFF));
    f.append(char(t.dati.size() & 0xFF));
    f.append(t.dati);
    const uint16_t crc = Crc16(f.constData() + 1, f.size() - 1);
    f.append(char(crc >> 8));
    f.append(char(crc & 0xFF));
    return f;
}

LettoreTrame::Esito LettoreTrame::prossima(Trama* t)
{
    for (;;) {
        const qsizetype inizio = m_buffer.indexOf(char(Inizio));
        if (inizio < 0) {
            m_buffer.clear();
            return Esito::Niente;
        }
        m_buffer.remove(0, inizio);
        if (m_buffer.size() < Intestazione)
            return Esito::Niente;
        const uint8_t indirizzo = uint8_t(m_buffer.at(1));
        const int lunghezza = (uint8_t(m_buffer.at(4)) << 8) | uint8_t(m_buffer.at(5));
        if ((indirizzo & ~BitRisposta) > IndirizzoMassimo || lunghezza > DatiMassimi) {
            // Not a frame header: look for the next start byte.
            m_buffer.remove(0, 1);
            continue;
        }
        const int totale = Intestazione + lunghezza + 2;
        if (m_buffer.size() < totale)
            return Esito::Niente;
        const uint16_t atteso = uint16_t((uint8_t(m_buffer.at(totale - 2)) << 8) | uint8_t(m_buffer.at(totale - 1)));
        t->indirizzo = indirizzo & 0x0F;
        t->risposta = (indirizzo & BitRisposta) != 0;
        t->tipo = uint8_t(m_buffer.at(2));
        t->sequenza = uint8_t(m_buffer.at(3));
        const bool buona = Crc16(m_buffer.constData() + 1, totale - 3) == atteso;
        t->dati = buona ? m_buffer.mid(Intestazione, lunghezza) : QByteArray();
        m_buffer.remove(0, totale);
        return buona ? Esito::Trama : Esito::Alterata;
    }
}

}  // namespace Protocollo
