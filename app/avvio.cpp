#include "avvio.h"

#include "messaggi.h"

#include "avvio_ui.h"
#include "tdtmanagrafico.h"
#include "tdtmelab.h"
#include "tdtmorari.h"
#include "tdtmpresenze.h"
#include "tdlgquerylight.h"
#include "tdtmpiano.h"
#include "tdtmacquisizione.h"
#include "tfrmacquisizione.h"
#include "tfrmanagrafico.h"
#include "tfrmorari.h"
#include "tdtmturni.h"
#include "tfrmcalendario.h"
#include "tfrmcaricnote.h"
#include "tfrmcancpl.h"
#include "tfrmpasswd.h"
#include "tfrmpianta.h"
#include "tfrmpiano.h"
#include "tfrmpresenti.h"
#include "tfrmpresenze.h"
#include "tfrmturni.h"
#include "terminali.h"

#include <QApplication>
#include <QDir>
#include <QProcess>

int AvviaApplicazione(QApplication& app, const QString& fileIni)
{
    QApplication::setApplicationName(QStringLiteral("Quorlin"));
    TdtmPresenze dtm;
    PreparaInterfaccia(app, dtm);
    dtm.login = EseguiLogin;
    try {
        // The first start in the default folder creates the databases; a production database
        // named by PATH must already exist.
        if (!dtm.Apri(fileIni, TdtmPresenze::ModoCreazione::CartellaPredefinita))
            return 0;  // login cancelled
        ImpostaDispositivi(dtm.cfg().PorteSeriali);
    } catch (const ErroreAvvio& e) {
        dtm.MostraErroreCon(e.numero(), QDir::toNativeSeparators(e.dettaglio()));
        return 1;
    } catch (const ErroreDb& e) {
        dtm.MostraErroreCon(Msg::ErrApertura, e.testo());
        return 1;
    } catch (const std::exception& e) {
        dtm.MostraErroreCon(Msg::ErrIni, QString::fromLocal8Bit(e.what()));
        return 1;
    }
    // The data modules of the windows, in their fixed order.
    TdtmTurni turni(dtm);
    TdtmElab elab(dtm);
    TdtmPiano piano(dtm);
    TdtmOrari orari(dtm);
    TdtmAnagrafico anagrafico(dtm);
    TdtmAcquisizione acquisizione(dtm);
    RegistraDialogoQA();
    QString daRipristinare;
    const int esito = AvviaInterfaccia(app, dtm, [&](TfrmPresenze& frm) {
        // The work plan lives for the whole run; the registry owns it and only hides it.
        auto* frmPiano = new TfrmPiano(dtm, piano, elab);
        QObject::connect(frmPiano, &TfrmPiano::apriAnagrafico, &frm, [&frm] { frm.Comandi().Esegui(QStringLiteral("Dipendenti")); });
        frm.Comandi().RegistraPersistente(QStringLiteral("PianodiLav"), frmPiano);
        frm.Comandi().RegistraSingola(QStringLiteral("Carica"), [&dtm] { return new TfrmCaricNote(dtm); });
        frm.Comandi().RegistraSingola(QStringLiteral("OrariLav"), [&orari] { return new TfrmOrari(orari); });
        frm.Comandi().RegistraSingola(QStringLiteral("Dipendenti"), [&anagrafico] { return new TfrmAnagrafico(anagrafico); });
        // A second "Turni" or "Calendario" while the window is open leaves it where it is.
        frm.Comandi().RegistraSingola(
            QStringLiteral("Turni"), [&] { return new TfrmTurni(dtm, turni, [&frm](bool abilita) { frm.EnableControls(abilita); }); },
            RegistroComandi::Riapertura::Nulla);
        frm.Comandi().RegistraSingola(
            QStringLiteral("Calendario"), [&] { return new TfrmCalendario(dtm, turni); }, RegistroComandi::Riapertura::Nulla);
        frm.Comandi().RegistraModale(QStringLiteral("PresAss"), [&dtm](QWidget* genitore) { return std::make_unique<TfrmPresenti>(dtm, genitore); });
        frm.Comandi().RegistraSingola(QStringLiteral("CancDati"), [&dtm] { return new TfrmCancPL(dtm); });
        // At most one acquisition window: a second use only brings it to the front.
        frm.Comandi().RegistraSingola(QStringLiteral("AcqTimb"), [&] { return new TfrmAcquisizione(dtm, acquisizione, LibreriaSeriale()); });
        frm.Comandi().RegistraAzione(QStringLiteral("CopiaSic"), [&dtm, &frm] { TfrmCancPL::CopiaDiSicurezza(dtm, &frm); });
        // The restore replaces the tables under every window: they all close first, as at "Esci".
        frm.Comandi().RegistraAzione(QStringLiteral("Ripristino"), [&dtm, &frm, &daRipristinare] {
            daRipristinare = TfrmCancPL::SceltaRipristino(dtm, &frm);
            if (!daRipristinare.isEmpty())
                frm.close();
        });
        // The organisation chart's employee lists open the register on TAnagCk.
        RegistraOrganico(frm, dtm);
    });
    if (daRipristinare.isEmpty())
        return esito;
    // Every window is gone; our own connection goes too, so the restore finds the database
    // free, and the program starts again on the restored data (or on the untouched ones).
    dtm.Chiudi();
    const bool ripristinato = TfrmCancPL::Ripristina(dtm, daRipristinare);
    QProcess::startDetached(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
    return ripristinato ? 0 : 1;
}
