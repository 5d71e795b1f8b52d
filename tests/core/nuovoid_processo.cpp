// The other workstation of the next-id test: registers rows in AnagMod, each with the id
// NuovoId gives inside its own transaction, as the employee register does.
//
//   quorlin-prova-nuovoid PRES.INI RIGHE VIA
//
// The rows are written once the file VIA exists, so that two copies start together.
// Exit status 0 when every row was written; the database's error on standard error otherwise.

#include "presentatore.h"
#include "tdtmpresenze.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    PresentatoreStderr presentatore;
    TdtmPresenze dtm;
    dtm.setPresentatore(&presentatore);
    try {
        dtm.Apri(QString::fromLocal8Bit(argv[1]), TdtmPresenze::ModoCreazione::Mai);
        const int righe = QByteArray(argv[2]).toInt();
        QElapsedTimer attesa;
        attesa.start();
        while (!QFileInfo::exists(QString::fromLocal8Bit(argv[3])) && attesa.elapsed() < 60000)
            QThread::msleep(2);
        for (int n = 0; n < righe; ++n) {
            Transazione t(dtm.db());
            const int id = dtm.NuovoId(QStringLiteral("AnagMod"));
            dtm.db().esegui(QStringLiteral("INSERT INTO AnagMod (Id, NumClient, TipoOp) VALUES (:id, :client, 'I')"),
                            {{"id", id}, {"client", int(QCoreApplication::applicationPid())}});
            t.conferma();
        }
    } catch (const ErroreDb& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.testo()));
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
