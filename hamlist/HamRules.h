#pragma once

#include <QString>

namespace hamlist {

// The forms the ham list gives its fields when the user leaves them.

// Call, name, QTH and country: upper case without blanks at the ends.
QString upperTrimmed(const QString &text);

// Postcode: upper-cased and trimmed, then its first four characters, a blank and its last two
// ("1234ab" gives "1234 AB", "12" gives "12 12", "" gives " ").
QString postcodeForm(const QString &text);

// Grid: a text of one to five characters (counted before trimming) is too short and must be
// corrected first; it is kept upper-cased and trimmed. Otherwise the text upper-cased and trimmed
// becomes its first four characters and its last two in lower case ("jo22ab" gives "JO22ab",
// "JO22AB12" gives "JO2212", "" stays ""). Only the letters a to z change case: a character that
// is no locator letter stays as typed, so that the check of the locator still sees it.
bool gridTooShort(const QString &text);
QString shortGridForm(const QString &text);
QString gridForm(const QString &text);

// Country: upper case, trimmed; "Nederland" when that leaves nothing.
QString countryForm(const QString &text);

// E-mail: lower case, trimmed (only applied to a field that is not empty).
QString emailForm(const QString &text);

// The e-mail check: an at sign, a dot at least two places after it, no two dots in a row after
// it, and no dot at the end. Nothing before the at sign is tested.
bool isEmailText(const QString &text);

// One line of the hit list: position with at least four digits, the call padded or cut to seven
// columns, the name to 22, the QTH in upper case, separated by " | ".
QString hitLine(int position, const QString &call, const QString &name, const QString &qth);
// The position a hit line starts with; -1 when the line does not start with digits.
int hitLinePosition(const QString &line);

// The search: one of the ten fields of the field list, index 0 to 9, with the trimmed search
// text. Exact mode (the call, whole) applies when the field is the call and partial-call search
// is off; every other case searches for a part (for the call: the end).
// The entries of the field list, as it shows them, in the order of the ham list's fields.
inline constexpr const char *kSearchEntries[10] = {
    "Call", "Naam", "Adres",    "Postcode", "Plaats/QTH",
    "Grid", "Land", "Telefoon", "E-mail",   "Bijzonderheden",
};
bool isExactMode(int fieldIndex, bool partialCall);
QString searchCriterion(int fieldIndex, bool partialCall, const QString &text);

}  // namespace hamlist
