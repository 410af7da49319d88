#include "search/ListSearch.h"

#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "runtime/AnsiText.h"

ListSearchModule ListSearch;

QString programFolderWithBackslash()
{
    const QString folder = platform::programFolder();
    return folder.endsWith(u'\\') ? folder : folder + u'\\';
}

void ReadDefaults()
{
    const QString path = programFolderWithBackslash() + QStringLiteral("defaults.txt");
    platform::FileSystem& fileSystem = platform::fileSystem();
    if (!fileSystem.fileExists(path))
        return;
    // A short file raises 62 from readLine; the reader closes the file as the
    // error passes, and the lines read before it stay in place.
    runtime::AnsiTextReader reader(fileSystem.hostPath(path));
    for (QString* line : {&ListSearch.LocalFolder, &ListSearch.TextFile, &ListSearch.ArchiveFile,
                          &ListSearch.WebServer})
        *line = reader.readLine();
    if (ListSearch.LocalFolder.isEmpty())
        ListSearch.LocalFolder = programFolderWithBackslash();
}
