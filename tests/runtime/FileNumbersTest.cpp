// File numbers: the lowest free one, lines written under a number, and the
// errors of a number that is not open, as the classic runtime raises them.

#include "runtime/FileNumbers.h"
#include "runtime/ErrorNumber.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace runtime;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

TEST(FileNumbers, WriteLinesUnderTheLowestFreeNumber)
{
    QTemporaryDir dir;
    const int first = freeFile();
    openForOutput(first, dir.filePath("a.htm"));
    const int second = freeFile();
    EXPECT_EQ(second, first + 1);
    openForOutput(second, dir.filePath("b.htm"));
    printLine(first, QStringLiteral("caf\u00e9"));
    printLine(second, QStringLiteral("b"));
    closeFile(first);
    EXPECT_EQ(freeFile(), first);
    closeFile(second);
    EXPECT_EQ(contents(dir.filePath("a.htm")), "caf\xe9\r\n");
    EXPECT_EQ(contents(dir.filePath("b.htm")), "b\r\n");
}

TEST(FileNumbers, ANumberThatIsNotOpenRaisesAsTheRuntimeDoes)
{
    QTemporaryDir dir;
    const int number = freeFile();
    struct Case {
        const char* name;
        std::function<void()> action;
        int error;
    } cases[] = {
        {"print to a number never opened", [&] { printLine(number, "x"); }, 52},
        {"an open that failed leaves it closed",
         [&] {
             EXPECT_EQ(errorNumberOf([&] { openForOutput(number, dir.filePath("none/a.htm")); }), 76);
             printLine(number, "x");
         },
         52},
        {"a number beyond the table", [&] { printLine(MaxFileNumber + 1, "x"); }, 52},
        {"a number opened twice",
         [&] {
             openForOutput(number, dir.filePath("a.htm"));
             openForOutput(number, dir.filePath("b.htm"));
         },
         55},
        {"closing a number that is not open", [&] { closeFile(number); closeFile(number); closeFile(0); }, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(errorNumberOf(c.action), c.error) << c.name;
        closeFile(number);
    }
}

}  // namespace
