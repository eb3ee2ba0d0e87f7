#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace storage {

// Case folding used by every comparison of the finds: letters of any script compare without
// regard to case (a/A, é/É, ë/Ë, ü/Ü, ß/ẞ as far as simple folding reaches).
char32_t foldChar(char32_t c);

// Decodes UTF-8 (as SQLite hands it out) into folded code points. Invalid bytes become U+FFFD.
void foldUtf8(std::string_view utf8, std::u32string &out);
void foldText(QStringView text, std::u32string &out);

// The folded form of a call, as the ham list keeps it beside each call and as the exact look-up
// compares it: two calls that differ only in letter case have the same folded form. Blanks,
// digits and signs stay as they are. This is the only computation of it: whatever writes or seeks
// the folded call comes here, the triggers in the file included (registerFoldFunction).
QString foldedCall(QStringView call);

// Orders two UTF-8 texts by their folded code points; equal when they differ only in case.
// Serves as the collation of the index on the ham list's call field.
int compareFoldedUtf8(std::string_view a, std::string_view b);

}  // namespace storage
