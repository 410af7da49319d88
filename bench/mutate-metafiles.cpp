// Draws thousands of damaged copies of good Windows and enhanced metafiles, as
// a folder of thumbnails would meet them: bits flipped, bytes and words
// overwritten with telling values, chunks repeated, files cut short. Each copy
// is walked and, when the walk takes it, played through the drawing device. Built under the
// address and undefined-behaviour sanitizers (see metafiles-under-sanitizers)
// a crash, an overrun or a leak stops the run; otherwise it prints how many
// copies were drawn and how many refused. The same seed gives the same copies.
//
// usage: mutate-metafiles COPIES-PER-FILE FILE...

#include "platform/EmfRenderer.h"
#include "platform/WmfRecords.h"
#include "platform/WmfRenderer.h"

#include <QFile>
#include <QGuiApplication>
#include <array>
#include <cstdio>
#include <random>

namespace {

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    QByteArray mutated(QByteArray bytes)
    {
        const int changes = pick(1, 3);
        for (int i = 0; i < changes && !bytes.isEmpty(); ++i)
            mutateOnce(bytes);
        return bytes;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void mutateOnce(QByteArray& bytes)
    {
        const int at = pick(0, int(bytes.size()) - 1);
        switch (pick(0, 4)) {
        case 0: bytes[at] = char(bytes[at] ^ (1 << pick(0, 7))); break;
        case 1: bytes[at] = char(pick(0, 255)); break;
        case 2: {
            // Sizes, counts and coordinates at their edges.
            static constexpr std::array<int, 6> telling = {0, 1, 0x7FFF, 0x8000, 0xFFFF, 0x0100};
            const int word = at & ~1;
            if (word + 1 < bytes.size()) {
                const int value = telling[pick(0, int(telling.size()) - 1)];
                bytes[word] = char(value & 0xFF);
                bytes[word + 1] = char(value >> 8);
            }
            break;
        }
        case 3: bytes.insert(at, bytes.mid(at, pick(2, 64))); break;
        default: bytes.truncate(std::max(at, 1)); break;
        }
    }

    std::mt19937 random_;
};

QByteArray readFile(const char* path)
{
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: mutate-metafiles COPIES-PER-FILE FILE...\n");
        return 2;
    }
    const int copies = std::atoi(argv[1]);
    // Thumbnails: at most 112 by 170, the metafile's proportions kept.
    const platform::RenderSize thumbnail = [](QSize own) { return own.scaled(112, 170, Qt::KeepAspectRatio); };
    long drawn = 0;
    long refused = 0;
    for (int file = 2; file < argc; ++file) {
        const QByteArray original = readFile(argv[file]);
        const bool enhanced = platform::looksLikeEnhancedMetafile(original);
        Mutator mutator(static_cast<unsigned>(file));
        for (int copy = 0; copy < copies; ++copy) {
            const QByteArray damaged = mutator.mutated(original);
            bool played = false;
            if (enhanced) {
                played = bool(platform::renderEnhancedMetafile(damaged, thumbnail));
            } else {
                const auto checked = platform::checkWindowsMetafile(damaged);
                played = checked && platform::renderWindowsMetafile(*checked, thumbnail);
            }
            ++(played ? drawn : refused);
        }
    }
    std::printf("%ld damaged metafiles: %ld drawn, %ld refused\n", drawn + refused, drawn, refused);
    return 0;
}
