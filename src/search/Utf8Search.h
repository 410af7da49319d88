#pragma once
// The listing search's byte work for listings in UTF-8, beside the
// Windows-1252 work of ByteSearch: columns counted in UTF-16 units, as the
// program's strings count them, and lower-casing character by character as
// the search text is lower-cased, so that words of every script match in
// either letter case where the script has one.

#include "search/ByteSearch.h"

#include <cstddef>
#include <string>
#include <string_view>

// The bytes of the longest start of `text` that holds at most `units` UTF-16
// units: a character outside the first 65,536 takes two, and one that would
// not fit whole is left out.
std::size_t utf8Prefix(std::string_view text, std::size_t units);

class Utf8LowerCase {
public:
    // The text lower-cased into `into`, which keeps WordSearchPadding more
    // bytes after it. The result may be longer or shorter than the text.
    std::string_view lower(std::string_view text, std::string& into) const;
    // Whether `lowerWord` occurs in the text once lower-cased; the text's
    // storage must hold WordSearchPadding more bytes after it.
    bool contains(std::string_view text, std::string_view lowerWord);

private:
    AnsiLowerCase ascii_;  // lower-cases ASCII as UTF-8 text is lower-cased
    std::string lowered_;
};
