#include "search/OpenFileDialog.h"

#include "platform/Services.h"
#include "runtime/RuntimeError.h"

platform::OpenFileResult showOpenFile(const platform::OpenFileRequest& request)
{
    std::optional<platform::OpenFileResult> chosen = platform::interaction().showOpen(request);
    if (!chosen)
        runtime::raise(runtime::err::CancelSelected);
    return *chosen;
}

QString folderOfChosenFile(const platform::OpenFileResult& chosen)
{
    const qsizetype folderLength = chosen.fileName.size() - chosen.fileTitle.size();
    if (folderLength < 0)
        runtime::raise(runtime::err::InvalidProcedureCall);
    return chosen.fileName.left(folderLength);
}
