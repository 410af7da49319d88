#include "search/ListingSearch.h"

#include "runtime/AnsiText.h"
#include "runtime/Numbers.h"
#include "runtime/Strings.h"
#include "search/ByteSearch.h"
#include "search/ListingReader.h"
#include "search/Utf8Search.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace {

// How the scorer treats a listing's bytes in each of its two encodings: how
// a search word is written, how text is lower-cased and searched, and how a
// chunk scan watches for words.
class Windows1252Bytes {
public:
    // A word the code page cannot write never occurs in such a listing.
    static std::optional<std::string> bytesOf(const QString& word)
    {
        const QByteArray bytes = runtime::toAnsi(word);
        if (runtime::fromAnsi(bytes) != word)
            return std::nullopt;
        return bytes.toStdString();
    }
    std::string_view lower(std::string_view text, std::string& into) const { return lowerCase_.lower(text, into); }
    bool contains(std::string_view text, std::string_view lowerWord) { return lowerCase_.contains(text, lowerWord); }
    bool watch(WordStarts& starts, const std::vector<std::string_view>& lowerWords) const
    {
        return starts.watch(lowerWords, lowerCase_);
    }

private:
    AnsiLowerCase lowerCase_;
};

class Utf8Bytes {
public:
    static std::optional<std::string> bytesOf(const QString& word) { return word.toStdString(); }
    std::string_view lower(std::string_view text, std::string& into) const { return lowerCase_.lower(text, into); }
    bool contains(std::string_view text, std::string_view lowerWord) { return lowerCase_.contains(text, lowerWord); }
    static bool watch(WordStarts& starts, const std::vector<std::string_view>& lowerWords)
    {
        return starts.watchUtf8(lowerWords);
    }

private:
    Utf8LowerCase lowerCase_;
};

// Scores entries against the search words on the listing's raw bytes. A word
// holds no blank, so it occurs in "folder name" exactly when it occurs in the
// folder or in the name: the folder's words are found once per folder, and
// each entry tests only the rest in its name, stopping as soon as the entry
// can no longer reach the desired match.
template <typename Bytes>
class WordScorer {
public:
    WordScorer(const QStringList& words, int minMatch)
    {
        for (const QString& word : words) {
            if (const std::optional<std::string> bytes = Bytes::bytesOf(word)) {
                std::string lowerWord;
                words_.emplace_back(bytes_.lower(*bytes, lowerWord));
            }
        }
        const int total = static_cast<int>(words.size());
        for (int count = 0; count <= total; ++count)
            percentages_.push_back(matchPercentage(count, total));
        needed_ = total + 1;
        for (int count = total; count >= 1 && percentages_[count] > minMatch; --count)
            needed_ = count;
    }

    void setFolder(std::string_view folder)
    {
        const std::string_view text = bytes_.lower(folder, folder_);
        inFolder_ = 0;
        outsideNow_.clear();
        for (const std::string& word : words_) {
            if (containsWord(text, word))
                ++inFolder_;
            else
                outsideNow_.push_back(&word);
        }
        // What is watched for depends only on the words outside the folder,
        // which most folders share with the one before.
        if (!watchedOnce_ || outsideNow_ != outside_) {
            outside_.swap(outsideNow_);
            watchNames();
            watchedOnce_ = true;
        }
    }

    // The words an entry of the current folder must have in its name, one of
    // them at least, to be a hit; nullptr when every entry may be a hit
    // whatever its name, or the words cannot be watched.
    const WordStarts* namesNeedOneOf() const { return watching_ ? &watched_ : nullptr; }

    // The entry's percentage when it is a hit. The name is followed by
    // WordSearchPadding readable bytes, as the reader's names are.
    std::optional<int> hitMatch(std::string_view name)
    {
        int count = inFolder_;
        auto left = static_cast<int>(outside_.size());
        if (count + left < needed_)
            return std::nullopt;
        for (const std::string* word : outside_) {
            --left;
            if (bytes_.contains(name, *word))
                ++count;
            else if (count + left < needed_)
                return std::nullopt;
        }
        return percentages_[count];
    }

private:
    // A hit needs `needed_ - inFolder_` of the words outside the folder in its
    // name, so it holds one at least of any (outside - that + 1) of them: the
    // longest are watched for, being the rarest.
    void watchNames()
    {
        watching_ = false;
        if (inFolder_ >= needed_)
            return;
        const auto stillNeeded = static_cast<std::size_t>(needed_ - inFolder_);
        std::vector<std::string_view> longest;
        for (const std::string* word : outside_)
            longest.emplace_back(*word);
        std::stable_sort(longest.begin(), longest.end(),
                         [](std::string_view a, std::string_view b) { return a.size() > b.size(); });
        // With fewer words than needed outside the folder, no entry is a hit:
        // none is watched for.
        longest.resize(stillNeeded > longest.size() ? 0 : longest.size() - stillNeeded + 1);
        watching_ = bytes_.watch(watched_, longest);
    }

    Bytes bytes_;
    std::vector<std::string> words_;           // the words the listing can hold
    std::vector<int> percentages_;             // by count of words found
    int needed_ = 0;                           // the fewest words a hit has
    int inFolder_ = 0;                         // words found in the current folder
    std::vector<const std::string*> outside_;  // the other words, in order
    std::vector<const std::string*> outsideNow_;  // the same for the folder being set
    bool watchedOnce_ = false;
    std::string folder_;                       // the current folder, lower-cased
    WordStarts watched_;                       // what a hit's name holds one of
    bool watching_ = false;
};

// The hit's texts; the volume and folder are made once and shared by the hits
// of one folder.
class HitMaker {
public:
    ListingHit make(ListingReader& reader, int match)
    {
        if (reader.folderNumber() != folderNumber_ || folder_.isNull()) {
            folderNumber_ = reader.folderNumber();
            folder_ = reader.folderText();
        }
        if (reader.volume() != volumeBytes_ || volume_.isNull()) {
            volumeBytes_ = reader.volume();
            volume_ = reader.volumeText();
        }
        const ListingSizeAndDate sizeAndDate = reader.takeSizeAndDate();
        return ListingHit{match, volume_, folder_, reader.nameText(), sizeAndDate.size, sizeAndDate.date};
    }

private:
    std::uint64_t folderNumber_ = 0;
    QString folder_;
    std::string volumeBytes_;
    QString volume_;
};

}  // namespace

std::int16_t desiredMatchOf(const QString& text)
{
    double value = runtime::val(text);
    if (!(value >= 1))
        value = 1;
    if (value > 100)
        value = 100;
    return static_cast<std::int16_t>(runtime::roundHalfEven(value));
}

QStringList splitSearchWords(const QString& text)
{
    QStringList words;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype blank = text.indexOf(u' ', pos + 1);
        if (blank < 0) {
            words += runtime::trimBlanks(text.mid(pos));
            return words;
        }
        words += runtime::trimBlanks(text.mid(pos, blank - pos));
        pos = blank;
    }
}

int matchPercentage(int count, int total)
{
    if (count == 0)
        return 0;
    return static_cast<int>(runtime::roundHalfEven(static_cast<double>(count) / total * 100));
}

namespace {

template <typename Bytes>
std::int32_t searchEntries(ListingReader& reader, const QString& lowerCasedText, int minMatch,
                           std::int32_t& linesChecked, std::vector<ListingHit>& hits,
                           const SearchCheckpoint& checkpoint)
{
    WordScorer<Bytes> scorer(splitSearchWords(lowerCasedText), minMatch);
    scorer.setFolder({});
    HitMaker hitMaker;
    std::uint64_t folderNumber = 0;
    std::int32_t found = 0;
    for (;;) {
        // Entries in whose names no needed word may begin are no hits: they
        // are counted in bulk, up to the next checkpoint.
        if (const WordStarts* watched = scorer.namesNeedOneOf()) {
            const std::int32_t passed =
                reader.skipEntriesWithout(*watched, CheckpointEntries - linesChecked % CheckpointEntries);
            linesChecked += passed;
            if (passed > 0 && linesChecked % CheckpointEntries == 0 && checkpoint && checkpoint(linesChecked))
                break;
        }
        if (!reader.nextEntry())
            break;
        if (reader.folderNumber() != folderNumber) {
            folderNumber = reader.folderNumber();
            scorer.setFolder(reader.folder());
        }
        if (const std::optional<int> match = scorer.hitMatch(reader.name())) {
            hits.push_back(hitMaker.make(reader, *match));
            ++found;
        }
        if (++linesChecked % CheckpointEntries == 0 && checkpoint && checkpoint(linesChecked))
            break;
    }
    return found;
}

}  // namespace

std::int32_t SearchListing(QIODevice& listing, const QString& lowerCasedText, int minMatch,
                           std::int32_t& linesChecked, std::vector<ListingHit>& hits,
                           const SearchCheckpoint& checkpoint)
{
    ListingReader reader(listing);
    if (reader.isUtf8())
        return searchEntries<Utf8Bytes>(reader, lowerCasedText, minMatch, linesChecked, hits, checkpoint);
    return searchEntries<Windows1252Bytes>(reader, lowerCasedText, minMatch, linesChecked, hits, checkpoint);
}
