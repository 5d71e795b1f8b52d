#include "comandieditor.h"

#include "icone.h"

#include <QAction>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

ComandiEditor CreaComandiEditor(QDialog* editor, const QString& nomeBarra, const GestoriEditor& g)
{
    ComandiEditor c;
    const auto collega = [editor](QAction* a, const std::function<void()>& gestore) {
        QObject::connect(a, &QAction::triggered, editor, [gestore] { gestore(); });
    };
    c.menu = new QMenuBar(editor);
    QMenu* mnuFile = c.menu->addMenu(QStringLiteral("&File"));
    const auto voce = [&](const char* nome, const char* icona, const QString& testo, const std::function<void()>& gestore) {
        QAction* a = mnuFile->addAction(IconaComando(QString::fromLatin1(icona)), testo);
        a->setObjectName(QString::fromLatin1(nome));
        collega(a, gestore);
        return a;
    };
    QAction* itmConferma = voce("itmConferma", "conferma", QStringLiteral("&Conferma\tInvio"), g.conferma);
    voce("itmAnnulla", "annulla", QStringLiteral("&Annulla\tEsc"), g.annulla);
    mnuFile->addSeparator();
    voce("itmEsci", "esci", QStringLiteral("&Esci"), g.esci)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    QAction* itmAiuto = c.menu->addAction(QStringLiteral("&?"));
    itmAiuto->setObjectName(QStringLiteral("itmAiuto"));
    collega(itmAiuto, g.aiuto);
    QObject::connect(new QShortcut(QKeySequence::HelpContents, editor), &QShortcut::activated, editor, [h = g.aiuto] { h(); });

    c.barra = new QToolBar(editor);
    c.barra->setObjectName(nomeBarra);
    c.barra->setIconSize(QSize(24, 24));
    c.barra->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const auto pulsante = [&](const char* nome, const char* icona, const QString& suggerimento, const std::function<void()>& gestore) {
        QAction* a = c.barra->addAction(IconaComando(QString::fromLatin1(icona)), suggerimento);
        a->setObjectName(QString::fromLatin1(nome));
        a->setToolTip(suggerimento);
        collega(a, gestore);
        return a;
    };
    c.btnConferma = pulsante("btnConferma", "conferma", QStringLiteral("Conferma"), g.conferma);
    c.btnAnnulla = pulsante("btnAnnulla", "annulla", QStringLiteral("Annulla"), g.annulla);
    c.barra->addSeparator();
    pulsante("btnHelp", "aiuto", QStringLiteral("Help"), g.aiuto);
    pulsante("btnEsci", "esci", QStringLiteral("Esci"), g.esci);
    QObject::connect(c.btnConferma, &QAction::enabledChanged, itmConferma, &QAction::setEnabled);
    return c;
}

bool TastoEditor(QKeyEvent* e, const GestoriEditor& g)
{
    if (e->modifiers() != Qt::NoModifier && e->modifiers() != Qt::KeypadModifier)
        return false;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        g.conferma();
        return true;
    case Qt::Key_Escape:
        g.annulla();
        return true;
    default:
        return false;
    }
}
