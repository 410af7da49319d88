#pragma once
// The search of one listing file: each entry is scored by the share of the
// search words found in its folder and name, and every entry that scores above
// the desired match is a hit. The window runs it for each listing in turn
// (SearchForm::SearchListing); nothing here needs a window.

#include "runtime/DateTime.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;

// The desired match a text gives: its leading number (blanks ignored, a
// decimal point allowed, 0 when there is none) held to 1..100, then brought
// to the nearest whole number, halves to the even neighbour.
std::int16_t desiredMatchOf(const QString& text);

// The words of a search text: every blank after the first character ends a
// word, and each word is trimmed of blanks. So two blanks in a row, a blank at
// the end or two blanks at the start give an empty word, which occurs in every
// entry; other white space belongs to the word.
QStringList splitSearchWords(const QString& text);

// count ÷ total × 100, halves to the even neighbour (1 of 8 gives 12, 3 of 8 gives 38).
int matchPercentage(int count, int total);

struct ListingHit {
    int match = 0;  // percentage
    QString volume;
    QString folder;
    QString name;
    std::int64_t size = 0;
    runtime::Date date = runtime::ZeroDate;
};

// The entries searched between two checkpoints, counted over the whole search.
inline constexpr std::int32_t CheckpointEntries = 2000;

// Called when linesChecked reaches a multiple of CheckpointEntries, after that
// entry's hit (if any) was appended: the caller shows its progress and pumps
// messages. Returning true ends the listing in hand. An empty function never stops.
using SearchCheckpoint = std::function<bool(std::int32_t linesChecked)>;

// Searches one listing for the words of `lowerCasedText`. An entry's text is
// its folder, a blank and its name, lower-cased; the volume takes no part. Its
// percentage counts the words, each once and a repeated word as often as given,
// that occur in that text; it is a hit when the percentage is greater than
// `minMatch`. Hits are appended to `hits` in the order found, each with the
// size and date of the info part in force (or of the previous hit of this
// listing when that part is too short to carry them). Every entry read adds
// one to `linesChecked`. Returns the number of this listing's hits. Raises 75
// when the listing fails to read; the hits before that point stay.
std::int32_t SearchListing(QIODevice& listing, const QString& lowerCasedText, int minMatch,
                           std::int32_t& linesChecked, std::vector<ListingHit>& hits,
                           const SearchCheckpoint& checkpoint);
