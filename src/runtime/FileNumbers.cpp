#include "runtime/FileNumbers.h"

#include "runtime/AnsiText.h"
#include "runtime/RuntimeError.h"

#include <array>
#include <memory>

namespace runtime {

namespace {

constexpr int FileAlreadyOpen = 55;
constexpr int TooManyFiles = 67;

std::array<std::unique_ptr<AnsiTextWriter>, MaxFileNumber + 1>& openFiles()
{
    static std::array<std::unique_ptr<AnsiTextWriter>, MaxFileNumber + 1> files;
    return files;
}

std::unique_ptr<AnsiTextWriter>& slot(int number)
{
    if (number < 1 || number > MaxFileNumber)
        raise(err::BadFileNameOrNumber);
    return openFiles()[static_cast<std::size_t>(number)];
}

}  // namespace

int freeFile()
{
    for (int number = 1; number <= MaxFileNumber; ++number) {
        if (!openFiles()[static_cast<std::size_t>(number)])
            return number;
    }
    raise(TooManyFiles);
}

void openForOutput(int number, const QString& hostPath)
{
    std::unique_ptr<AnsiTextWriter>& file = slot(number);
    if (file)
        raise(FileAlreadyOpen);
    file = std::make_unique<AnsiTextWriter>(hostPath);
}

void printLine(int number, const QString& line)
{
    const std::unique_ptr<AnsiTextWriter>& file = slot(number);
    if (!file)
        raise(err::BadFileNameOrNumber);
    file->writeLine(line);
}

void closeFile(int number)
{
    if (number < 1 || number > MaxFileNumber)
        return;
    std::unique_ptr<AnsiTextWriter> file = std::move(openFiles()[static_cast<std::size_t>(number)]);
    if (file)
        file->close();  // the number is free even when the last write fails
}

bool isFileOpen(int number)
{
    return number >= 1 && number <= MaxFileNumber && openFiles()[static_cast<std::size_t>(number)] != nullptr;
}

}  // namespace runtime
