#pragma once
// A folder that cannot be written while the object lives, as an installed
// program's folder is, for a test run as root too: root writes anywhere, so
// the calling thread gives up its right to pass over file permissions until
// the folder is writable again.

#include <QString>

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString hostPath);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    QString path_;
};
