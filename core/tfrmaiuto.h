#pragma once
// The help window: HTML pages shipped with the program, one per numbered topic
// (":/aiuto/<n>.html"), opened at the topic of the window that asks for help.

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QAction;
class TdtmPresenze;

class TfrmAiuto : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSommario = 10;

    explicit TfrmAiuto(TdtmPresenze& dtm, QWidget* parent = nullptr);

    // Shows the topic; a topic without a page shows the table of contents.
    void ApriArgomento(int contesto);
    int Argomento() const { return m_argomento; }
    QTextBrowser* browser() const { return m_browser; }

    static bool EsisteArgomento(int contesto);
    static QString PaginaArgomento(int contesto);

private slots:
    void aggiornaTitolo(const QUrl& pagina);

private:
    TdtmPresenze& m_dtm;
    QTextBrowser* m_browser;
    QAction* m_indietro;
    QAction* m_avanti;
    int m_argomento = kSommario;
};

// Opens (or brings forward) the help window of parent's top-level window at a topic.
// Every window's help command goes through here. Returns the window shown.
TfrmAiuto* MostraAiuto(QWidget* parent, TdtmPresenze& dtm, int contesto);
