#pragma once
// A report written to a file: PDF (pages as printed), plain text, CSV or HTML. The three
// text forms carry the header once, the column titles once and every line with the exact
// texts of the printed report, so that payroll can take the figures over unchanged.

#include "documento.h"

#include <QByteArray>

namespace Stampa {

enum class Formato { Pdf, Testo, Csv, Html };

// "pdf", "txt", "csv", "html" (also "htm" and "testo"), case-insensitive.
bool FormatoDaTesto(const QString& testo, Formato* formato);
QString EstensioneFormato(Formato formato);

// Columns padded to their widest text, figures right-aligned, groups separated by a blank
// line; a line break inside a value is written as a blank.
QString TestoSemplice(const DocumentoStampa& doc);
// Semicolon-separated UTF-8 with a byte-order mark (what spreadsheets set up for Italian expect):
// the column titles, then one record per line; a group heading is a record of one field. A
// text starting with = + - or @ gets a leading apostrophe, so that no spreadsheet runs it as a
// formula; figures (also negative hour texts) stay as they are.
QByteArray Csv(const DocumentoStampa& doc);
QString Html(const DocumentoStampa& doc);

// Writes the document in the given form: a file is replaced in one step, a device or a pipe
// is written in place. Throws ErroreStampa(Msg::ErrScrittura, file) when anything could not be
// written; a partly written file is never left behind.
void Salva(const DocumentoStampa& doc, Formato formato, const QString& file);

}  // namespace Stampa
