#pragma once
// The preview window of every report, and the one call every window uses to output a report:
// preview or printer as the print settings say.

#include "documento.h"
#include "esportazione.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class TdtmPresenze;

class TfrmAnteprima : public QDialog {
    Q_OBJECT
public:
    TfrmAnteprima(TdtmPresenze& dtm, const DocumentoStampa& doc, QWidget* parent = nullptr);
    ~TfrmAnteprima() override;

    int Pagine() const;
    // Saves the report in a form, asking for the file name; errors are shown to the user.
    void SalvaCome(Stampa::Formato formato);
    // Saves without asking (used by the menu after the file dialog, and by tests).
    bool SalvaSuFile(Stampa::Formato formato, const QString& file);

private slots:
    void itmStampaClick();
    void aggiornaPagina();
    void vaiAPagina(int pagina);

private:
    TdtmPresenze& m_dtm;
    const DocumentoStampa& m_doc;
    std::unique_ptr<QPrinter> m_stampante;
    QPrintPreviewWidget* m_anteprima = nullptr;
    QLabel* m_pagina = nullptr;
};

namespace Stampa {

// Previews the report when the Preview setting is on, else sends it to a printer chosen in
// the print dialog. Errors are shown through the main data module.
void Esegui(QWidget* parent, TdtmPresenze& dtm, const DocumentoStampa& doc);
// Makes the report, then previews or prints it. A report that cannot be made (missing logo,
// database failure) is told to the user and nothing is printed; false in that case.
bool CreaEdEsegui(QWidget* parent, TdtmPresenze& dtm, const std::function<DocumentoStampa()>& crea);
// The print dialog, then the pages; false when the user cancelled.
bool StampaConDialogo(QWidget* parent, const DocumentoStampa& doc);

}  // namespace Stampa
