#pragma once
// Every numbered message of the application, in one place. The texts are rows of Errori
// (warnings, MostraErrore / MostraErroreCon / TestoErrore) and Scelte (questions and captions,
// Chiedi / TestoScelta) delivered in schema/riferimento; code names the number, never a text.
//
// Adding a message: a row in errori.tsv or scelte.tsv for every language, and its name here.
// Numbers below 9000 are the ones the windows' rules name; 9000 and up are the application's own.

namespace Msg {

// Rows of Errori.
enum Errore : int {
    ErrDbLavoro = 1,            // the work database cannot be opened
    ErrDatoMancante = 103,      // a required value is missing or invalid
    ErrUnitaConSottounita = 1001, // an organisation unit with sub-units cannot be deleted
    ErrDateAssunzione = 1108,   // the leaving date is before the hiring date
    ErrCambioPagina = 1114,     // confirm or cancel the edits before changing page
    ErrNessunDipendenteUnita = 1115, // no employee in the chosen department and qualification
    ErrRegistroBadge = 1116,    // the badge change log cannot be written: nothing was saved
    ErrUnitaRadice = 1119,      // the top unit of a tree cannot be deleted
    ErrCancellaUnita = 1120,    // + the engine's text: the unit could not be deleted
    ErrUltimaTimbratura = 1517, // the punch window's last minute against its first and the closing mode
    ErrOrarioInTurno = 1541,    // the timetable is used by a rotation day
    ErrOrarioInPiano = 1543,    // the timetable is on work-plan days
    ErrOrarioFestivo = 1544,    // the timetable is a profile's holiday timetable
    ErrOrarioScomparso = 1545,  // the timetable being modified was deleted meanwhile
    ErrTurnoInUso = 1800,       // a profile names the rotation
    ErrFinestraCorta = 1801,    // the punch window is shorter than the expected work
    ErrPeriodoInvertito = 2001, // the period starts after it ends
    ErrCambioStato = 2002,      // 1 <-> 2 only through processing
    ErrPeriodoLungo = 2010,     // this report covers 31 days at most
    ErrAnnullamentoOpzioni = 2101, // cancelling a notes loading with average hours or replace ticked
    ErrOreMedieSenzaChiusura = 2102, // average hours without closing the day
    ErrDateCancellazione = 4001, // the deletion period starts after it ends
    // Import of punches from a file.
    ErrFileTimbrature = 106,    // the punch file cannot be opened or read
    ErrScritturaFile = 107,     // + the file: it cannot be written
    ErrBadgeNonValido = 2601,   // no valid badge with that code, or none assigned
    ErrTimbraturaNonRegistrata = 2602, // a duplicate punch or one missing a required value
    ErrTracciatoSovrapposto = 4106,
    ErrTracciatoLungo = 4107,   // a field ends after column 256
    ErrTracciatoFile = 4111,    // + ": " and the text of 4106 or 4107
    ErrImportTimbrature = 4112, // some lines were not imported: see the warnings
    ErrDataFormato = 4113,      // the date does not match the chosen layout
    ErrOraNonValida = 8004,     // the time is not four digits
    ErrLogin = 8009,            // user or password not valid

    // Start-up and batch commands.
    ErrApertura = 9001,         // + the engine's text
    ErrComando = 9002,          // + the command
    ErrArgomento = 9003,        // + the argument
    ErrData = 9004,             // + the text that is not a date
    ErrDipendente = 9005,       // + the id
    ErrIni = 9006,              // + the file's error
    ErrDemoNonVuoto = 9007,
    ErrPeriodo = 9008,
    ErrMancante = 9009,         // + the missing argument
    ErrElaborazione = 9010,     // + the engine's text and the employee
    ErrDatabase = 9011,         // + the engine's text: every database failure shown to the user
    ErrVerificaAnnullata = 9012,
    ErrDbRecente = 9018,        // + the file and both schema versions: a later release's database
    AvvDbAggiornato = 9019,     // + the copy of the database as it was before the upgrade
    ErrChiaveConnessione = 9020, // + "Chiave=valore": an engine or port of PRES.INI that is not one
    ErrConnessionePersa = 9021, // + the engine's text: the server went away
    ErrVincolo = 9022,          // + the engine's text: a key or a required field refused the data
    ErrDestinazionePiena = 9023, // + the target database: migra without --sostituisci on a target holding rows
    ErrConteggioCopia = 9024,   // + "Tabella: n, m": a copied table whose rows do not match the source's
    ErrOrigineDaAggiornare = 9025, // + the source database and both schema versions: an earlier release's database
    ErrIniNonValido = 9013,     // + the file (and ":line"): --ini names something that is not INI text
    ErrDbVuoto = 9014,          // + the file: an empty production database outside init
    ErrDbEstraneo = 9015,       // + the file: a database without any of our tables
    ErrDbIncompleto = 9016,     // + the file and the missing tables and fields
    ErrUscitaProtetta = 9017,   // + the file: an output over a database or PRES.INI

    // Main window and settings.
    ErrSfondo = 9100,           // + the picture's file name
    ErrConfigurazione = 9102,   // + the file's error
    ErrDataNonValida = 9110,    // a typed date is no date of the calendar

    // Reports.
    ErrLogoMancante = 9200,     // + the logo's file name
    ErrScrittura = 9201,        // + the file name
    ErrStampaSconosciuta = 9202,
    ErrFormato = 9203,
    ErrGruppo = 9204,

    // Employee selection query.
    ErrArchivio = 9300,
    ErrNessunRecord = 9301,
    ErrIntervallo = 9302,
    ErrImpostazioni = 9303,     // names both settings
    ErrTabellaSelezione = 9304, // + the table
    ErrDialogo = 9306,

    // Employee register and import of employees from a CSV file.
    ErrDipendenteScomparso = 9850, // the employee was deleted meanwhile at another workstation
    ErrImportRifiutato = 9851,  // + the number of bad lines: nothing was imported
    ErrImportIntestazione = 9852, // a column of the header that is not one of the file's columns
    ErrImportColonnaDoppia = 9853, // a column named twice in the header
    ErrImportColonnaMancante = 9854, // a required column missing from the header
    ErrImportCampi = 9855,      // a line with more or fewer fields than the header
    ErrImportMancante = 9856,   // a required value left empty
    ErrImportLungo = 9857,      // + the most characters the field holds
    ErrImportData = 9858,       // not a date dd/mm/yyyy
    ErrImportNome = 9859,       // no unit, rotation or timetable has that name
    ErrImportAmbiguo = 9860,    // several units have that name: the path tells them apart
    ErrImportBadgeInUso = 9861, // the badge code belongs to an employee already stored
    ErrImportBadgeDoppio = 9862, // + the line: the badge code is given twice in the file
    ErrImportSN = 9863,         // overtime authorisation is S or N
    ErrImportVuoto = 9864,      // the file holds no employee
    ErrImportAnnullato = 9865,  // the user stopped the import: nothing was stored
    ErrImportLettura = 9866,    // + the file: it cannot be opened or read
    ErrDemoSenzaDipendenti = 9867, // demo --solo-timbrature on a company without employees

    // Notes loading.
    ErrNotaLunga = 9900,        // the note holds at most 50 characters
    ErrSelezioneScomparsa = 9901, // + the table: the employee selection is not there any more
    ErrCaricamentoNote = 9902,  // + the engine's text and the employee: the loading stopped
    // Data deletion, safety copy and restore.
    ErrCancellaSenzaConferma = 9930, // followed by what would be deleted
    ErrCancellazioneInterrotta = 9931, // + the employee and the engine's reason
    ErrCancellazioneAnnullata = 9932,
    ErrNonCopia = 9933,         // + the file or folder and why
    ErrDbInUso = 9934,          // + the database another process holds
    ErrCartellaCopia = 9935,    // + the folder: copia --out over a folder holding files
    ErrRipristinoSenzaConferma = 9936,
    ErrCopia = 9937,            // + the engine's or the file's text
    ErrCopiaPrimaFallita = 9939,
    ErrDataInesistente = 9970,  // + the line: a date of the punch file that does not exist stopped the import // the deletion window's copy failed: nothing deleted
    AvvCopiaSalvata = 9940,     // + the folder: the copy of the Utilità menu is done
    AvvRipristinato = 9941,     // + the folder: the data are the copy's, the program starts again

    // Punch editing.
    ErrOra = 9450,              // the typed time is not a time of day
    ErrTimbraturaDoppia = 9451, // another punch of the employee has that valid time

    // Holiday calendar.
    AvvFestivitaPresenti = 9700, // + the year: its national holidays are all in the calendar

    // Organisation chart.
    ErrUnitaScomparsa = 9800,   // the unit was deleted meanwhile at another workstation
    ErrSpostamentoUnita = 9801, // the stored tree refuses the move (changed elsewhere)

    // Terminals, stations and ports; acquisition and synchronisation.
    ErrDataTransazione = 2603,  // the transaction's date or time is not a valid one
    ErrTerminaleErrore = 2611,  // the terminal reported an error (message type 1)
    ErrTerminaleMuto = 2612,    // no answer from the terminal (type 0)
    ErrIndirizzoOccupato = 9710, // the address is used by another terminal of the same station
    ErrPortaInUso = 9711,       // a station uses the port: it cannot be deleted
    ErrPortaNonDefinita = 9712, // + "COMn": the station's port has no Porte row
    ErrChiaveNonValida = 9713,  // + the key: a terminal key that is not a plain file name
    ErrTerminaleInesistente = 9714, // + the id given on the command line
    ErrNessunIndirizzoLibero = 9715, // the local station of port 1 has all 16 addresses taken
};

// Rows of Scelte.
enum Scelta : int {
    SclElabora = 2,             // start processing the period?
    SclCancella = 3,            // confirm the deletion?
    EtReparti = 1401,           // column heading of the printed department tree
    EtQualifiche = 1402,        // column heading of the printed qualification tree
    SclInModifica = 2001,       // "Giornata in modifica"
    SclAl = 2003,               // "al"
    SclCambioStato = 2004,
    SclPeriodoDal = 2010,       // "Periodo dal"
    SclTimbratureDi = 2103,     // "Timbrature di"
    SclGiornoChiuso = 2520,     // the day is closed: change the punch anyway?

    // Batch command output.
    EtDbProduzione = 9001,
    EtDbLavoro = 9002,
    EtDipendenti = 9003,
    EtGiorni = 9004,
    EtGiorniAnomalie = 9005,
    EtGiornateCreate = 9006,
    EtDipendentiGenerati = 9007,
    EtTimbratureGenerate = 9008,
    EtSecondi = 9009,
    EtElaborazione = 9010,
    EtVerifica = 9011,
    EtMessaggioMancante = 9012, // after the number of a message delivered in no language
    EtCompletamento = 9013,     // + the file and what init adds to it
    EtCopiaTabelle = 9014,      // phase of migra
    EtTabelleCopiate = 9015,
    EtRigheCopiate = 9016,
    EtDestinazione = 9017,
    EtMotoreInvariato = 9018,   // + "Motore=...": what to set to use the copied database

    // Help window.
    EtIndietro = 9100,
    EtAvanti = 9101,
    EtSommario = 9102,

    EtStampaSalvata = 9200,
    SclAzzera = 9300,           // remove every search condition?

    // Import of employees.
    EtRiga = 9850,              // "Riga" before the line number of a refused value
    EtColonna = 9851,           // "colonna" before the column's name
    EtDipendentiImportati = 9852,
    EtControlloImport = 9853,   // phase: checking the file
    EtRegistrazioneImport = 9854, // phase: storing the employees
    EtImportaDaFile = 9855,     // caption of the file choice

    // Data deletion, safety copy and restore.
    EtCancellazione = 9930,     // phase of the deletion
    EtTimbratureCancellate = 9931,
    EtGiorniCancellati = 9932,
    EtGiorniAzzerati = 9933,
    EtDipendentiCancellati = 9934,
    EtDipendentiTrattati = 9935,
    EtCopiaSalvata = 9936,      // + the folder
    EtRipristinato = 9937,      // + the folder
    EtCopiaSicurezza = 9938,    // phase and dialog title of the copy
    EtRipristino = 9939,        // phase and dialog title of the restore
    EtCopiaPrima = 9940,        // check box of the deletion window
    EtCartellaCopia = 9941,     // caption of the folder choice
    SclRipristino = 9942,       // replace every current row with the copy's?

    // Import of punches from a file.
    EtImportaTimbrature = 9970, // phase of the import
    EtTimbratureImportate = 9971,
    EtRigheRifiutate = 9972,

    // Phases of long work (Avanzamento).
    EtAggiornamentoCalendario = 9500,  // the work-plan check creating missing days

    // Notes loading.
    EtCaricamentoNote = 9900,   // phase, and the window's caption
    EtGiorniScritti = 9901,
    EtGiorniLasciati = 9902,    // closed days, or days changed meanwhile at another workstation
    EtDipendentiNote = 9903,    // employees with a profile in the period

    // Holiday calendar.
    SclFestivitaNazionali = 9700,      // + the dates: add these national holidays?

    // Acquisition and synchronisation from terminals.
    EtApriPorta = 2600,         // status: opening the port
    EtSincronizzazione = 2601,  // status: synchronising
    EtAcquisizioneInCorso = 2602, // status: polling
    EtRicezioneTransazione = 2603, // status, + the counter
    EtComposizione = 2604,      // status: dialling
    SclSvuotaScartate = 2610,   // empty the error punches?
    EtTransazioniRicevute = 9720, // summary, + the count
    EtTransazioniRegistrate = 9721,
    EtTransazioniScartate = 9722,
    EtTerminaliCompletati = 9723, // + done/requested
    EtTerminaliSincronizzati = 9724, // + done/requested
};

}  // namespace Msg
