#include "project/ui/SaveProject.h"

#include "document/Document.h"
#include "project/ProjectFile.h"
#include "project/ui/CloseTabSheet.h"
#include "project/ui/TabContent.h"
#include "project/ui/VariantView.h"

#include <QFileInfo>

namespace vst::project {

QString projectFileOf(const TCloseTabSheet& tab) {
    const auto views = tab.views();
    if (views.empty()) return {};
    const QString name = views.front()->TheFileName;
    return isProjectFileName(name) ? name : QString();
}

QString proposedProjectName(const TCloseTabSheet& tab) {
    const auto views = tab.views();
    if (views.empty()) return {};
    const VariantView* v = views.front();
    const QString name = v->TheFileName.isEmpty() ? v->proposedFileName : v->TheFileName;
    if (name.isEmpty()) return {};
    const QFileInfo info(name);
    return info.path() + "/" + info.completeBaseName() + ".vstl";
}

void saveTabAsProject(TCloseTabSheet& tab, const QString& path) {
    std::vector<Variant> variants;
    for (VariantView* view : tab.views()) {
        Variant v;
        v.layers = view->document().layers();
        v.VersionName = view->VersionName;
        v.TheFileName = path;
        v.DpiX = int(view->document().dpiX);
        v.DpiY = int(view->document().dpiY);
        variants.push_back(std::move(v));
    }
    saveProject(path.toStdString(), variants);
    for (VariantView* view : tab.views()) {
        view->TheFileName = path;
        view->document().setModified(false);
    }
}

} // namespace vst::project
