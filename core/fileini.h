#pragma once
// A plain Windows-style INI file (sections may contain spaces; other keys and comments are
// kept as they are). Several copies of the application share one file, so it is replaced,
// never rewritten in place: a change is written to a temporary file beside it and renamed
// over it, under a lock file beside it, and only when a value really changes.

#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

class ErroreIni : public std::runtime_error {
public:
    enum class Tipo {
        NonIni,     // not a plain-text INI file (NUL bytes, a database, a binary): never written
        Lettura,    // the file exists but cannot be read
        Scrittura,  // the lock, the temporary file or the rename failed: the file is as it was
    };
    ErroreIni(Tipo tipo, const QString& dettaglio);
    Tipo tipo() const { return m_tipo; }
    // The file (with ":line" for a line that is not INI text) and the system's reason.
    QString dettaglio() const { return m_dettaglio; }

private:
    Tipo m_tipo;
    QString m_dettaglio;
};

class FileIni {
public:
    // Throws ErroreIni (NonIni, Lettura) when the file exists and cannot be used.
    explicit FileIni(const QString& percorso);
    ~FileIni();

    QString percorso() const { return m_percorso; }
    bool esiste(const QString& sezione, const QString& chiave) const;
    QString leggiTesto(const QString& sezione, const QString& chiave, const QString& predefinito = {}) const;
    // Integer as written ("12", "-1", "$1F" hexadecimal); the default when absent or not a number.
    int leggiIntero(const QString& sezione, const QString& chiave, int predefinito) const;
    // Any integer other than 0 is true.
    bool leggiBooleano(const QString& sezione, const QString& chiave, bool predefinito) const;

    // One value: nothing is written when the file already holds it, else as aggiorna().
    // Throws ErroreIni.
    void scriviTesto(const QString& sezione, const QString& chiave, const QString& valore);
    void scriviIntero(const QString& sezione, const QString& chiave, int valore);
    void scriviBooleano(const QString& sezione, const QString& chiave, bool valore);  // "1" / "0"

    // Read-modify-write shared by every copy of the application: under the lock beside the
    // file, the file is read again, `modifica` reads it and sets what it wants with
    // imposta(), and the file is replaced only when a value differs from what it held.
    // Keys nobody set stay exactly as the other copies left them. Throws ErroreIni.
    void aggiorna(const std::function<void(FileIni&)>& modifica);
    // Inside aggiorna() only: sets a value in memory.
    void imposta(const QString& sezione, const QString& chiave, const QString& valore);

    // Re-reads the file (another program may have changed it). Throws ErroreIni (NonIni,
    // Lettura), keeping what was read before.
    void ricarica();

private:
    void salva();
    struct Dati;
    std::unique_ptr<Dati> d;
    QString m_percorso;
    bool m_inAggiornamento = false;
    bool m_cambiato = false;
};
