// Writes a main listing of the size a real collection reaches, the same bytes
// on every run: many CD volumes of nested clip-art folders, names made of
// clip-art words (some with Windows-1252 letters), rule lines between volumes,
// CR LF line ends.
//
// usage: make-listing OUTPUT [ENTRIES]   (1,000,000 entries by default)

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// splitmix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }
    template <typename List>
    const auto& pick(const List& list) { return list[static_cast<std::size_t>(below(static_cast<int>(list.size())))]; }

private:
    std::uint64_t state_;
};

const std::vector<std::string> Themes = {
    "Animals", "Borders", "Buildings", "Business", "Cartoons", "Flags", "Flowers", "Food",
    "Holidays", "Maps", "Music", "People", "Religion", "Science", "Sports", "Transport",
    "Nature", "Symbols", "Fantasy", "School", "Medicine", "Office", "Weather", "Caf\xE9 Art"};

const std::vector<std::string> Words = {
    "red", "blue", "green", "yellow", "black", "white", "gold", "silver", "flower", "rose",
    "tulip", "daisy", "border", "frame", "corner", "divider", "cat", "dog", "horse", "bird",
    "eagle", "fish", "lion", "tiger", "bear", "car", "truck", "plane", "train", "boat",
    "house", "church", "castle", "tower", "bridge", "tree", "leaf", "sun", "moon", "star",
    "cloud", "rain", "snow", "heart", "arrow", "button", "banner", "ribbon", "crown", "shield",
    "man", "woman", "child", "family", "doctor", "teacher", "chef", "clown", "angel", "dragon",
    "knight", "wizard", "globe", "map", "flag", "music", "guitar", "piano", "drum", "ball",
    "soccer", "tennis", "golf", "apple", "pear", "cake", "bread", "cheese", "wine", "coffee",
    "book", "pencil", "computer", "phone", "clock", "key", "lamp", "chair", "table", "door",
    "christmas", "easter", "halloween", "birthday", "wedding", "party", "gift", "candle",
    "caf\xE9", "se\xF1or", "m\xFCller", "fa\xE7" "ade", "\xC9t\xE9", "na\xEFve", "\x8Aka", "\x9Cuvre"};

const std::vector<std::string> Extensions = {".wmf", ".wmf", ".wmf", ".gif", ".jpg", ".bmp", ".cdr", ".eps"};

std::string clipName(Random& random)
{
    std::string name;
    const int words = 1 + random.below(3);
    for (int i = 0; i < words; ++i) {
        if (i > 0)
            name += random.below(2) ? " " : "_";
        std::string word = random.pick(Words);
        if (random.below(3) == 0 && word[0] >= 'a' && word[0] <= 'z')
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        name += word;
    }
    if (random.below(4) == 0) {
        name += " - ";
        name += random.pick(Words);
        name += " variant";
    }
    name += std::to_string(random.below(1000));
    name += random.pick(Extensions);
    return name.substr(0, 68);
}

std::string grouped(std::int64_t value)
{
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string twoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string dateText(Random& random)
{
    const int hour = random.below(24);
    return std::to_string(1 + random.below(12)) + "/" + std::to_string(1 + random.below(28)) + "/" +
        std::to_string(1995 + random.below(14)) + " " + std::to_string(hour % 12 == 0 ? 12 : hour % 12) + ":" +
        twoDigits(random.below(60)) + ":" + twoDigits(random.below(60)) + (hour < 12 ? " AM" : " PM");
}

class ListingWriter {
public:
    ListingWriter(std::FILE* out, long entries) : out_(out), left_(entries) {}

    void run()
    {
        for (int volume = 1; left_ > 0; ++volume) {
            const std::string label = "CLIPART_CD_" + std::to_string(volume);
            line("---------------");
            line("Volume:    " + label);
            line("---------------");
            for (int theme = 0; theme < 6 && left_ > 0; ++theme)
                folder(label, "\\" + random_.pick(Themes) + "\\", 0);
        }
    }

private:
    void line(const std::string& text)
    {
        std::fputs(text.c_str(), out_);
        std::fputs("\r\n", out_);
    }

    void folder(const std::string& label, const std::string& path, int depth)
    {
        std::vector<std::string> subFolders;
        if (depth < 3) {
            const int count = random_.below(4);
            for (int i = 0; i < count; ++i)
                subFolders.push_back(random_.pick(Words) + (random_.below(2) ? " Set" : "s"));
        }
        line("");
        line("Volume:    " + label);
        line("Directory: " + path);
        line("");
        for (const std::string& name : subFolders)
            line("<DIR> " + name);
        if (!subFolders.empty())
            line("");
        const int files = std::min<long>(left_, 5 + random_.below(60));
        for (int i = 0; i < files; ++i) {
            const std::string name = clipName(random_);
            const std::string size = grouped(200 + random_.below(3000000));
            line(name + std::string(68 - name.size(), ' ') + std::string(13 - size.size(), ' ') + size +
                 " bytes " + dateText(random_));
        }
        left_ -= files;
        for (const std::string& name : subFolders) {
            if (left_ > 0)
                folder(label, path + name + "\\", depth + 1);
        }
    }

    std::FILE* out_;
    long left_;
    Random random_{20081211};
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-listing OUTPUT [ENTRIES]\n");
        return 2;
    }
    const long entries = argc > 2 ? std::atol(argv[2]) : 1000000;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    ListingWriter(out, entries).run();
    return std::fclose(out) == 0 ? 0 : 1;
}
