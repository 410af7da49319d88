#pragma once
// The browser window as the catalogue and distribution builds drive it. The
// window may be closed while the build pumps messages; from then on the host
// does nothing (the closing has asked the build to stop).

#include "browser/CatalogueBuild.h"

#include <QPointer>

class Browser;

class BrowserBuildHost : public CatalogueHost {
public:
    explicit BrowserBuildHost(Browser& browser);

    QString folderListPath() const override;
    void setFolderListPath(const QString& path) override;
    void PreviewFolder(const QString& ProcessPath, const QString& FolderName, const QString& ImageFolder,
                       const QString& HtmlFolder, std::int16_t HTML, const QString& Relative) override;
    void Command1_Click() override;

private:
    QPointer<Browser> browser_;
};
