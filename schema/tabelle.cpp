#include "tabelle.h"

namespace {

using T = TipoCampo;

Campo I(const char* n, bool req = false) { return {QString::fromLatin1(n), T::Intero, 0, req}; }
Campo S(const char* n, bool req = false) { return {QString::fromLatin1(n), T::InteroPiccolo, 0, req}; }
Campo A(const char* n, int len, bool req = false) { return {QString::fromLatin1(n), T::Testo, len, req}; }
Campo D(const char* n, bool req = false) { return {QString::fromLatin1(n), T::DataOra, 0, req}; }
Campo M(const char* n) { return {QString::fromLatin1(n), T::Memo, 0, false}; }
constexpr bool R = true;  // required

Indice K(const char* nome, QStringList campi) { return {QString::fromLatin1(nome), campi, true}; }
Indice X(const char* nome, QStringList campi) { return {QString::fromLatin1(nome), campi, false}; }

QList<Tabella> costruisci()
{
    const auto P = Archivio::Presenze;
    const auto U = Archivio::PresUt;
    QList<Tabella> t;

    // --- Punches, work plan, employees -------------------------------------------------
    t.append({"Timbrature", P,
              {I("IdDip"), D("DataV", R), D("DataO"), A("VersoV", 1, R), A("VersoO", 1), A("Caus", 4), I("IdTerminale")},
              {K("PK_Timbrature_IdDataV", {"IdDip", "DataV"})}});
    t.append({"PianoSomma", P,
              {I("IdDip"), D("Data"), S("Stato"), I("IdOrario"), S("ValOrdinario"), S("ValEccedenza"), S("ValPresenza"),
               S("ValCarenza"), A("Note", 50)},
              {K("PK_PianoSomma_IdDipData", {"IdDip", "Data"}), X("idxPianoSommaOrario", {"IdOrario"})}});
    // The anomalies the engine recorded for a processed day, in recording order (Prog).
    t.append({"AnomalieGiorno", P, {I("IdDip", R), D("Data", R), S("Prog", R), A("Prod", 1), I("IdSegnalaz", R)},
              {K("PK_AnomalieGiorno", {"IdDip", "Data", "Prog"})}});
    t.append({"Anagrafico", P,
              {I("Id", R), A("Matricola", 10), A("Cognome", 30, R), A("Nome", 20, R), A("Libero", 20), M("Note"),
               A("Classe", 1, R), I("IdPolicyAccesso")},
              {K("PK_Anagrafico_Id", {"Id"}), X("idxAnagNominativo", {"Cognome", "Nome"}),
               X("idxAnagMatricola", {"Matricola"}), X("idxAnagLibero", {"Libero"})}});
    t.append({"Badge", P,
              {A("Codice", 10, R), D("DataInizio", R), D("DataFine"), I("IdUtilizzatore", R)},
              {X("IdUtilizzatore", {"IdUtilizzatore"}), X("idxBadgeCodice", {"Codice", "DataInizio"})}});
    t.append({"Profilo", P,
              {I("IdUtilizzatore", R), D("DataInizio", R), D("DataFine"), I("IdNomina", R), I("IdAzienda", R), I("IdPianta", R),
               I("IdRuolo", R), D("DataAssunz", R), D("DataLicenz"), A("ModalTimbra", 1, R), A("Autorizzato", 1, R),
               A("TipoOrario", 1), I("IdOrari"), I("IdRagg"), D("InTurnazione", R), D("InPeriodo1", R), D("InPeriodo2", R),
               D("InPeriodo3", R), D("InPeriodo4", R), D("InPeriodo5", R), A("GestReperib", 1, R), D("UltElabVoci", R),
               I("IdOrFestivo"), I("IdCalendario")},
              {X("idxProfiloUtilizzatore", {"IdUtilizzatore", "DataInizio"})}});

    // --- Timetables, rotations, calendar -----------------------------------------------
    t.append({"OrariRep", P,
              {I("Id", R), A("Descr", 30, R), A("cvDescr", 6, R), A("TipoO", 1, R), S("OreMinime"), S("OreMedie"), A("UsoPrior", 1),
               A("NTimTipo", 1), A("Mensa", 1), S("MensaMin"), S("MensaMax"), S("MinPerMensa"), I("IdMensa"), S("GiusMin"),
               S("GiusNum"), I("IdGius"), S("PrimaTimb"), S("UltimaTimb"), A("ChiusGio", 1), I("IdOrFest"), I("IdOrPreFest"),
               I("IdOrSab"), I("IdOrDom"), S("PriorFest"), S("PriorPreFest"), S("PriorSab"), S("PriorDom"), S("MinPerFissa1"),
               S("MinPerFissa2"), S("MinPerFissa3"), I("IdFissa1"), I("IdFissa2"), I("IdFissa3"), S("DurFissa1"),
               S("DurFissa2"), S("DurFissa3")},
              {K("PK_OrariRep_Id", {"Id"}), X("idxOrariRepDescr", {"Descr"})}});
    t.append({"ArroTim", P,
              {I("IdOrario", R), S("Inizio", R), S("Fine", R), A("ArrVerso", 1, R), A("TipoArrot", 1, R), S("MinutiArrot"),
               I("IdVoceScarti"), I("IdVoceToll")},
              {X("idxArroTimOrario", {"IdOrario", "ArrVerso"})}});
    t.append({"ArroStra", P,
              {I("IdOrario"), S("Inizio"), S("Fine"), A("TipoArrot", 1), S("MinutiArrot")},
              {X("idxArroStraOrario", {"IdOrario", "Inizio"})}});
    t.append({"Turni", P, {I("Id", R), A("Descr", 30, R), S("Durata", R)}, {K("PK_Turni_Id", {"Id"})}});
    t.append({"CompTurni", P,
              {I("IdTurno", R), S("NumOrd", R), D("DataInizio", R), A("TipoOrario", 1, R), I("IdDaUsare", R)},
              {X("idxCompTurni", {"IdTurno", "NumOrd"}), X("idxCompTurniOrario", {"IdDaUsare"})}});
    t.append({"Calendari", P, {I("Id"), A("Descr", 30)}, {K("PK_Calendari_Id", {"Id"})}});
    t.append({"RelCalend", P, {I("IdCalend", R), D("Giorno", R), A("Tipo", 1, R), S("Ora")},
              {K("PK_RelCalend", {"IdCalend", "Giorno", "Tipo"})}});
    t.append({"Segnalazioni", P, {I("Id"), A("TipoSegnalaz", 1), A("Descr", 60)}, {K("PK_Segnalazioni_Id", {"Id"})}});

    // --- Terminals ------------------------------------------------------------------------
    t.append({"Terminali", P,
              {I("Id", R), A("Descr", 40), I("IdPostaz", R), A("Indirizzo", 10, R), A("DipSet", 1, R), I("Tipo", R)},
              {K("PK_Terminali_Id", {"Id"})}});
    t.append({"Postaz", P, {I("Id"), A("Descr", 1), I("IdCom"), A("TelNo", 30)}, {K("PK_Postaz_Id", {"Id"})}});
    t.append({"Porte", P,
              {I("Id"), I("BaudRate", R), S("BitNo", R), S("StopBit", R), A("Parity", 1, R), A("ModString", 255)},
              {K("PK_Porte_Id", {"Id"})}});
    t.append({"TimbTipo", P, {I("IdOrario"), A("Verso", 1), S("Ore"), A("Gio", 1)}, {X("idxTimbTipoOrario", {"IdOrario"})}});
    t.append({"Giustif", P, {I("IdDip"), D("Data"), A("TipoG", 2)}, {X("idxGiustifDipData", {"IdDip", "Data"})}});

    // --- Configuration, users, messages, code tables ------------------------------------------
    t.append({"ConfigGen", P,
              {D("DataInst"), A("Inizio", 4), A("Fine", 4), A("CarMensa", 1), A("CarPres", 1), A("Delimitatore", 1),
               A("Separatore", 1)},
              {}});
    t.append({"ContrAccant", P, {D("AccantonPiano"), D("AccantonVoci"), D("InvioSaldi"), D("AcquisTimb")}, {}});
    t.append({"Aziende", P, {I("Id", R), A("Descr", 30, R), A("CodAzEst", 20), A("RagSoc", 60, R)}, {K("PK_Aziende_Id", {"Id"})}});
    t.append({"CONFIGDB", P, {A("RELDB", 20), I("VERSIONESCHEMA")}, {}});
    t.append({"APPLICATIVI", P, {I("ID"), A("DESCRIZIONE", 30)}, {K("PK_APPLICATIVI_ID", {"ID"})}});
    t.append({"UTENTI", P, {A("USERNAME", 15), I("IDAPPLICATIVO"), A("PASSWORDD", 15)},
              {K("PK_UTENTI", {"USERNAME", "IDAPPLICATIVO"}), X("idxUtentiApplicativo", {"IDAPPLICATIVO"})}});
    t.append({"Errori", P, {I("Id"), A("Lingua", 1), A("Errore", 128)}, {K("PK_Errori", {"Id", "Lingua"})}});
    t.append({"Scelte", P, {I("Id"), A("Lingua", 1), A("Scelta", 128)}, {K("PK_Scelte", {"Id", "Lingua"})}});
    t.append({"Costanti1", P, {A("NCampo", 16), A("Lingua", 1), A("ValCod", 2), A("Descr", 30)},
              {K("PK_Costanti1", {"NCampo", "Lingua", "ValCod"})}});
    t.append({"Costanti2", P, {A("NCampo", 16), A("Lingua", 1), A("ValCod", 2), A("Descr", 30)},
              {K("PK_Costanti2", {"NCampo", "Lingua", "ValCod"})}});
    t.append({"Costanti3", P, {A("NCampo", 16), A("Lingua", 1), A("ValCod", 2), A("Descr", 30)},
              {K("PK_Costanti3", {"NCampo", "Lingua", "ValCod"})}});
    t.append({"Costanti4", P, {A("NCampo", 16), A("Lingua", 1), A("ValCod", 1), A("Descr", 30, R)},
              {K("PK_Costanti4", {"NCampo", "Lingua", "ValCod"})}});
    t.append({"Costanti7", P, {A("TipoStampa", 2), A("Lingua", 1), I("CodStampa"), A("Descr", 40)},
              {K("PK_Costanti7", {"TipoStampa", "Lingua", "CodStampa"})}});
    t.append({"Costanti8", P, {A("NCampo", 16, R), A("Lingua", 1, R), A("Descr", 30, R), A("TDataCod", 10, R)},
              {K("PK_Costanti8", {"NCampo", "Lingua", "TDataCod"})}});

    // --- Organisation ---------------------------------------------------------------------
    t.append({"UnitaPianta", P, {I("Id", R), A("Descr", 50, R), I("IdPiantaPadre")},
              {K("PK_UnitaPianta_Id", {"Id"}), X("idxUnitaPiantaPadre", {"IdPiantaPadre"})}});
    t.append({"UnitaRuolo", P, {I("Id", R), A("Descr", 30, R), I("IdRuoloPadre")},
              {K("PK_UnitaRuolo_Id", {"Id"}), X("idxUnitaRuoloPadre", {"IdRuoloPadre"})}});
    t.append({"Nomine", P, {I("Id"), A("Descr", 30)}, {K("PK_Nomine_Id", {"Id"})}});
    t.append({"AnagMod", P, {I("Id"), A("Badge", 10), I("NumClient"), A("TipoOp", 1)}, {K("PK_AnagMod_Id", {"Id"})}});

    // Tables only emptied when an employee is deleted.
    for (const char* n : {"CORREZIONI", "PIANOLAVORO", "VALORIVOCI", "ATTRIBVOCI", "ASSELEMGEN", "VALVOCIGEN", "CAUSTURNI"})
        t.append({QString::fromLatin1(n), P, {I("IDDIP")}, {X((std::string("idx") + n + "Dip").c_str(), {"IDDIP"})}});
    t.append({"SEGNALACC", P, {I("IDUTILIZZATORE")}, {X("idxSEGNALACCDip", {"IDUTILIZZATORE"})}});

    // --- Work tables ----------------------------------------------------------------------
    t.append({"ETimb", U,
              {I("IdDip"), D("DataV"), D("DataO"), A("VersoV", 1), A("VersoO", 1), A("Caus", 4), A("TipoUtil", 1),
               A("Arrot", 1), I("OraM")},
              {X("idxOraMVersoV", {"OraM", "VersoV"})}});
    t.append({"EEvid", U, {A("Prod", 1), I("IdSegnalaz")}, {}});
    t.append({"Terrtimb", U, {A("Data", 10), A("Badge", 10), S("Verso"), I("IdErr")}, {}});
    t.append({"TPresAss", U,
              {I("Id"), A("Matricola", 10), A("Cognome", 30), A("Nome", 20), A("Stato", 2), A("StatoEsteso", 30), A("TipoG", 2),
               A("ModalTimbra", 1), I("IdOrario")},
              {X("IDXMATRICOLA", {"Matricola"}), X("IDXCOGNOME", {"Cognome", "Nome"}), X("IDXSTATOESTESO", {"StatoEsteso"}),
               // The status of each row is written back by Id.
               X("idxTPresAssId", {"Id"})}});
    t.append({"TAnagCk", U,
              {I("Id"), A("Matricola", 10), A("Cognome", 30), A("Nome", 20), A("Libero", 20), A("Classe", 1), A("Codice", 10)},
              {X("idxTAnagCkId", {"Id"})}});
    // Employees chosen on the command line for a batch print, walked like a selection.
    t.append({"SelezioneStampa", U, {I("Id"), A("Matricola", 10), A("Cognome", 30), A("Nome", 20), A("Libero", 20), A("Classe", 1)},
              {K("PK_SelezioneStampa_Id", {"Id"})}});
    t.append({"TPiantaSel", U, {I("Id"), I("IdPiantaPadre")}, {X("idxTPiantaSelId", {"Id"})}});
    t.append({"TRuoloSel", U, {I("Id"), I("IdRuoloPadre")}, {X("idxTRuoloSelId", {"Id"})}});
    t.append({"ROrganic", U,
              {I("IdDip"), A("Cognome", 30), A("Nome", 20), A("Badge", 10), A("Matricola", 10), A("Nomina", 30), I("IdPianta"),
               I("IdRuolo"), A("DescrPianta", 50), A("DescrRuolo", 30), S("LivelloPianta"), S("LivelloRuolo"), M("Note")},
              {X("idxOrdinamento", {"DescrPianta", "DescrRuolo", "Cognome", "Nome"})}});
    t.append({"RTree", U, {I("IndiceAss"), S("Livello"), A("Descr", 60)}, {X("idxRTree", {"IndiceAss"})}});
    return t;
}

}  // namespace

const Campo* Tabella::campo(const QString& nomeCampo) const
{
    for (const Campo& c : campi)
        if (c.nome.compare(nomeCampo, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

namespace Schema {

const QList<Tabella>& tabelle()
{
    static const QList<Tabella> t = costruisci();
    return t;
}

const QList<PassoSchema>& passi()
{
    static const QList<PassoSchema> p = {
        // The anomalies recorded for each processed day.
        {2, {QStringLiteral("AnomalieGiorno")}},
    };
    return p;
}

const Tabella* tabella(const QString& nome)
{
    for (const Tabella& t : tabelle())
        if (t.nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

}  // namespace Schema
