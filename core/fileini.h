#pragma once
// A plain Windows-style INI file (sections may contain spaces; other keys and comments are
// kept as they are). Every write goes to disk at once, as the platform's profile calls do.

#include <QString>

#include <memory>

class FileIni {
public:
    explicit FileIni(const QString& percorso);
    ~FileIni();

    QString percorso() const { return m_percorso; }
    bool esiste(const QString& sezione, const QString& chiave) const;
    QString leggiTesto(const QString& sezione, const QString& chiave, const QString& predefinito = {}) const;
    // Integer as written ("12", "-1", "$1F" hexadecimal); the default when absent or not a number.
    int leggiIntero(const QString& sezione, const QString& chiave, int predefinito) const;
    // Any integer other than 0 is true.
    bool leggiBooleano(const QString& sezione, const QString& chiave, bool predefinito) const;

    // Throws std::runtime_error when the file cannot be written.
    void scriviTesto(const QString& sezione, const QString& chiave, const QString& valore);
    void scriviIntero(const QString& sezione, const QString& chiave, int valore);
    void scriviBooleano(const QString& sezione, const QString& chiave, bool valore);  // "1" / "0"

    // Re-reads the file (another program may have changed it).
    void ricarica();

private:
    void salva();
    struct Dati;
    std::unique_ptr<Dati> d;
    QString m_percorso;
};
