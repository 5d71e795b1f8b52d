#pragma once
// Pages of a report on A4 paper: the common page header on every page, the column titles
// under it, the lines below, new pages where a group asks for one or the page is full.
// Paints on any paged device: the printer, the preview, a PDF file.

#include "documento.h"

#include <QStringList>

class QIODevice;
class QPagedPaintDevice;

namespace Stampa {

// Sets A4 paper, the document's orientation and the margins on the device. Must be called
// before painting starts on it.
void PreparaPagina(QPagedPaintDevice& dispositivo, bool orizzontale);
// Paints every page; returns the number of pages. The device must already be prepared.
int Disegna(const DocumentoStampa& doc, QPagedPaintDevice& dispositivo);
// The titles and words of the document's lines that would not fit their column on the
// device ("title: text"), which a cell would clip. The layout gives every column room for
// its texts with a margin for the differences between resolutions, so that the preview and
// the printed page or PDF show the same; empty unless the line is too narrow for them all.
QStringList TestiTagliati(const DocumentoStampa& doc, const QPagedPaintDevice& dispositivo);
// The document as PDF on an open device; returns the number of pages (0: nothing written).
int ScriviPdf(const DocumentoStampa& doc, QIODevice& uscita);

}  // namespace Stampa
