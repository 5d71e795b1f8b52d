#include "presentatoredialogo.h"

#include "tdtmpresenze.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace {

QWidget* finestraDavanti()
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

// Ties the presenter's life to the data module it serves.
class PortatorePresentatore : public QObject {
public:
    explicit PortatorePresentatore(TdtmPresenze& dtm) : QObject(&dtm), presentatore(dtm) { setObjectName(nome()); }
    static QString nome() { return QStringLiteral("presentatoreDialogo"); }
    PresentatoreDialogo presentatore;
};

}  // namespace

void PresentatoreDialogo::avviso(const QString& testo)
{
    QMessageBox box(QMessageBox::Warning, m_dtm.cfg().NomeProg, testo, QMessageBox::Ok, finestraDavanti());
    box.exec();
}

bool PresentatoreDialogo::domanda(const QString& testo)
{
    QMessageBox box(QMessageBox::Question, m_dtm.cfg().NomeProg, testo, QMessageBox::Yes | QMessageBox::No, finestraDavanti());
    box.setDefaultButton(QMessageBox::Yes);
    // Italian even where Qt's own translations are not installed.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sì"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    return box.exec() == QMessageBox::Yes;
}

void InstallaPresentatoreDialogo(TdtmPresenze& dtm)
{
    // No meta-object of its own: found by name, and only this file creates that name.
    auto* portatore = static_cast<PortatorePresentatore*>(dtm.findChild<QObject*>(PortatorePresentatore::nome(), Qt::FindDirectChildrenOnly));
    if (!portatore)
        portatore = new PortatorePresentatore(dtm);
    dtm.setPresentatore(&portatore->presentatore);
}
