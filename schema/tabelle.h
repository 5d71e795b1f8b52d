#pragma once
// The one declaration of every table of both databases: fields with type, size and
// required flag, keys and named indexes. Creation and checks read it; nothing else
// spells CREATE TABLE.

#include <QList>
#include <QString>
#include <QStringList>

enum class Archivio { Presenze, PresUt };  // production database, work database

enum class TipoCampo { Intero, InteroPiccolo, Testo, DataOra, Memo };

struct Campo {
    QString nome;
    TipoCampo tipo;
    int lunghezza = 0;  // text fields only
    bool obbligatorio = false;
};

struct Indice {
    QString nome;
    QStringList campi;
    bool unico = false;
};

struct Tabella {
    QString nome;
    Archivio archivio;
    QList<Campo> campi;
    QList<Indice> indici;

    const Campo* campo(const QString& nomeCampo) const;
};

namespace Schema {

// Schema version reached by this build; stored in the production database (CONFIGDB).
constexpr int kVersione = 2;

const QList<Tabella>& tabelle();
const Tabella* tabella(const QString& nome);  // case-insensitive; nullptr when unknown

// One step that brings a production database from version `versione - 1` to `versione`:
// the tables it adds, or completes with the fields and indexes they gained, from their
// declaration above. Every table or field a release adds to a production table is named in
// the step of that release, so an existing company's database reaches it by upgrade.
struct PassoSchema {
    int versione;
    QStringList tabelle;
};
const QList<PassoSchema>& passi();

}  // namespace Schema
