#pragma once
// The size and date that a listing line's info part (its text from column 69
// on) carries: the size right-aligned in its first 13 characters (columns
// 69-81), " bytes ", and the date from its 21st character (column 89).

#include "runtime/DateTime.h"

#include <cstdint>
#include <string_view>

struct ListingSizeAndDate {
    std::int64_t size = 0;
    runtime::Date date = runtime::ZeroDate;
};

// The size is read as a whole number, blanks and group separators allowed, the
// date in the locale's forms. A size that is no number reads as 0, a date text
// that is no date as the zero date. Sizes of 2 GiB and more are read as they
// are written. The info part is raw code-page bytes.
ListingSizeAndDate readSizeAndDate(std::string_view info);
