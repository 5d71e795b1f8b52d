#pragma once
// Texts of the work-plan grid that do not depend on the database: day totals as
// "hh.mm", typed hours back to minutes, weekday numbering and punch-token positions.

#include <QDate>
#include <QString>
#include <QVariant>

namespace TestiPiano {

// Minutes as the grid shows them: hours in at least two digits, ".", minutes in two
// (450 -> "07.30", 6000 -> "100.00"). Zero and null give an empty cell.
QString MinutiInTesto(const QVariant& minuti);

// Typed hours to minutes. With "." as third character the text is "hh.mm", otherwise
// "hhmm"; the hours always take the first two characters, so "7.30" does not convert.
// Anything that does not convert gives 0.
int TestoInMinuti(const QString& testo);

// Weekday as the code tables number it: 1 Sunday ... 7 Saturday.
int GiornoSettimana(const QDate& d);

// A punch text is made of five-character tokens separated by one blank, so token k
// starts at 6k. Start of the token under the caret, clamped to the last token;
// -1 for an empty text.
int InizioToken(const QString& testo, int caret);
// Start of the token before / after the one starting at `inizio`, staying on the
// first / last token.
int TokenPrecedente(const QString& testo, int inizio);
int TokenSuccessivo(const QString& testo, int inizio);

constexpr int kLunghezzaToken = 5;

}  // namespace TestiPiano
