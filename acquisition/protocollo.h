#pragma once
// The framed protocol between the host and its terminals, shared by the serial terminal
// library and the terminal simulator. The layout is described in acquisition/README.md.

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace Protocollo {

constexpr uint8_t Inizio = 0x02;          // STX, first byte of every frame
constexpr uint8_t BitRisposta = 0x80;     // set in the address byte of a terminal's answer
constexpr int IndirizzoMassimo = 15;
constexpr int Intestazione = 6;           // STX, address, type, sequence, length (2)
constexpr int DatiMassimi = 512;
constexpr int TramaMassima = Intestazione + DatiMassimi + 2;
constexpr int BloccoProg = 256;           // file bytes per PROG frame
constexpr int FileProgMassimo = 65536;    // a terminal's memory for an uploaded file
constexpr int TestoMassimo = 280;

enum Tipo : uint8_t {
    Errore = 1,        // terminal -> host: error text (a refused command)
    Fine = 6,          // terminal -> host: nothing more to give
    Transazione = 9,   // terminal -> host: transaction number (4 bytes) and text
    Poll = 0x10,       // host -> terminal
    Ack = 0x11,        // host -> terminal: release transaction n (4 bytes); terminal -> host: done
    Nak = 0x12,        // terminal -> host: the request arrived garbled, send it again
    Sync = 0x13,       // host -> terminal: "yyyyMMddhhmmss", the host's clock
    Prog = 0x14,       // host -> terminal: offset (4), total size (4), file bytes
};

struct Trama {
    uint8_t indirizzo = 0;   // 0 to 15
    bool risposta = false;   // sent by a terminal
    uint8_t tipo = 0;
    uint8_t sequenza = 0;
    QByteArray dati;
};

uint16_t Crc16(const char* dati, qsizetype lunghezza);
QByteArray Codifica(const Trama& t);
void ScriviIntero(QByteArray& a, uint32_t v);
uint32_t LeggiIntero(const QByteArray& a, qsizetype da);

// Collects bytes as they arrive and cuts them into frames. Bytes outside a frame are
// skipped; a header naming an address above 15 or more than DatiMassimi data bytes is not a
// frame; a frame whose CRC does not match is counted as garbled and dropped whole.
class LettoreTrame {
public:
    enum class Esito { Niente, Trama, Alterata };
    void aggiungi(const QByteArray& byte) { m_buffer.append(byte); }
    // Cuts the next frame out of what arrived; Alterata gives the address read in *t.
    Esito prossima(Trama* t);
    // True while part of a frame is waiting for its rest.
    bool inCorso() const { return !m_buffer.isEmpty() && uint8_t(m_buffer.at(0)) == Inizio; }
    const QByteArray& buffer() const { return m_buffer; }
    void svuota() { m_buffer.clear(); }

private:
    QByteArray m_buffer;
};

}  // namespace Protocollo
