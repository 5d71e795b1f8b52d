#pragma once
// The wait cursor of a long operation, removed however the operation ends.

#include <QCursor>
#include <QGuiApplication>

class CursoreAttesa {
public:
    CursoreAttesa() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursoreAttesa() { QGuiApplication::restoreOverrideCursor(); }
    CursoreAttesa(const CursoreAttesa&) = delete;
    CursoreAttesa& operator=(const CursoreAttesa&) = delete;
};
