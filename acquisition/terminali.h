#pragma once
// The terminal library: the eleven calls through which the program talks to its
// time-recording terminals. Every status is an unsigned 16-bit value, 0 for success; any
// other value has its text from GetErrorMessage. One port is open at a time.
//
// The calls are reached through a LibreriaTerminali table, as a program reaches the entry
// points of a loaded library: the acquisition, synchronisation and upload take the table
// they are given, so tests can put a scripted terminal behind the same calls. The table of
// the serial implementation (framed protocol over a serial line, modem dialling for remote
// stations) is LibreriaSeriale(); its protocol is described in acquisition/README.md.

#include <array>
#include <cstddef>
#include <cstdint>

#include <QString>

// Port settings as the library receives them: 20 bytes, little-endian, passed by value.
struct ImpostazioniPorta {
    int16_t porta = 0;          // 0: port number, Porte.Id (1 to 4)
    int16_t bitStop = 1;        // 2: 1 or 2
    int16_t bitDati = 8;        // 4: 7 or 8
    int16_t parita = 0;         // 6: 0 none, 1 odd, 2 even, 3 mark, 4 space
    int16_t costante3 = 3;      // 8: always 3
    uint8_t costante0 = 0;      // 10: always 0
    uint8_t riempimento = 0;    // 11: padding
    int32_t baud = 9600;        // 12
    int32_t costante2000 = 2000;// 16: always 2000
};
static_assert(sizeof(ImpostazioniPorta) == 20, "the port settings are 20 bytes");

// The message buffer filled by GetTerminalMessage: byte 6 is the type, bytes 7 to 286 the
// text (280 characters ending at the first NUL).
constexpr std::size_t DimensioneMessaggio = 288;
constexpr std::size_t PosizioneTipoMessaggio = 6;
constexpr std::size_t PosizioneTestoMessaggio = 7;
constexpr std::size_t LunghezzaTestoMessaggio = 280;

// Message types the caller acts on.
enum TipoMessaggio : uint8_t {
    MessaggioNessuno = 0,      // no message (the terminal did not answer)
    MessaggioErrore = 1,       // the terminal reports an error
    MessaggioFine = 6,         // nothing more to give
    MessaggioTransazione = 9,  // a punch transaction
};

using HandlePorta = void*;
using PuntatoreMessaggio = const void*;

struct LibreriaTerminali {
    uint16_t (*CreatePort)(ImpostazioniPorta impostazioni, HandlePorta* handle);
    uint16_t (*OpenPort)(HandlePorta handle);
    // impulsi: 1 when tone dialling is off (pulse), else 0; timeout in seconds.
    uint16_t (*Dial)(HandlePorta handle, const char* numero, const char* stringaModem, uint8_t impulsi,
                     int32_t timeout);
    // Sets *messaggio to the message received, or to nullptr when none came.
    uint16_t (*SendPolling)(HandlePorta handle, int16_t indirizzo, int32_t riservato, PuntatoreMessaggio* messaggio);
    void (*GetTerminalMessage)(PuntatoreMessaggio messaggio, uint8_t* buffer288);
    // The next poll yields the next message.
    uint16_t (*SendAcknowledge)(HandlePorta handle);
    uint16_t (*TermSync)(HandlePorta handle, int16_t indirizzo);
    uint16_t (*TermProg)(HandlePorta handle, int32_t indirizzo, const char* percorso);
    void (*ClosePort)(HandlePorta handle);
    void (*DestroyPort)(HandlePorta* handle);
    const char* (*GetErrorMessage)(uint16_t stato);
};

// The serial implementation. Port numbers 1 to 4 map to device paths through PRES.INI
// [Porte seriali] (see acquisition/README.md); ImpostaDispositivo sets one entry of that
// map for the process (the program loads the section at start-up, tests point a port at a
// pseudo-terminal). Defaults: /dev/ttyS0 to /dev/ttyS3, COM1 to COM4 on Windows.
const LibreriaTerminali& LibreriaSeriale();
void ImpostaDispositivo(int porta, const QString& percorso);
QString Dispositivo(int porta);
// The whole map as PRES.INI gives it (TPresenzeCfg::PorteSeriali): an empty entry restores
// that port's default.
void ImpostaDispositivi(const std::array<QString, 4>& percorsi);

// The statuses of the serial implementation; GetErrorMessage gives their texts (UTF-8).
enum StatoTerminali : uint16_t {
    StatoOk = 0,
    StatoDispositivoAssente = 1,  // the device path does not exist
    StatoDispositivoOccupato = 2, // in use by another program, or another port is open
    StatoNonAperta = 3,           // the port was not created or not opened
    StatoNessunaRisposta = 4,     // the terminal did not answer in time
    StatoTramaAlterata = 5,       // the answers stayed garbled after every retry
    StatoModemOccupato = 6,       // BUSY
    StatoModemNoCarrier = 7,      // NO CARRIER
    StatoModemNoDialtone = 8,     // NO DIALTONE
    StatoModemTimeout = 9,        // no answer to the dialling in time
    StatoProgRifiutato = 10,      // the terminal refused the uploaded file (or the sync)
    StatoFileIllegibile = 11,     // the file to upload cannot be read
    StatoArgomenti = 12,          // arguments out of range (settings, address, number)
    StatoErroreLinea = 13,        // the line failed while reading or writing
    StatoModemErrore = 14,        // the modem refused its set-up string (ERROR)
};

// Time-outs of the serial implementation: the wait for an answer (on top of the time its
// longest frame takes at the port's baud rate), the tries of each request, the modem's
// guard time around the escape before hanging up. Tests shorten them.
struct TempiSeriale {
    int rispostaMs = 1000;
    int tentativi = 3;
    int guardiaMs = 1000;
};
void ImpostaTempiSeriale(const TempiSeriale& tempi);
TempiSeriale TempiSerialeAttuali();
