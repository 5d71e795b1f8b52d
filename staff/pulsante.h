#pragma once
// The push buttons of the search dialogs: never default by themselves, wide enough for
// their caption and never narrower than the others.

#include <QPushButton>

#include <algorithm>

inline QPushButton* pulsante(const QString& testo, const QString& nome, QWidget* parent)
{
    auto* b = new QPushButton(testo, parent);
    b->setObjectName(nome);
    b->setAutoDefault(false);
    b->setMinimumWidth(std::max(96, b->sizeHint().width() + 16));
    return b;
}
