#pragma once
// Text helpers with the classic runtime's string semantics.

#include <QString>

namespace runtime {

// The text without the blanks (spaces) at its ends, as the runtime's Trim
// gives it: tabs and other white space stay.
QString trimBlanks(const QString& text);

}  // namespace runtime
