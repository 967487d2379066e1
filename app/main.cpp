// The Vistrelune editor: start-up and the message loop.
#include "app/Version.h"
#include "app/ui/Style.h"
#include "project/ProjectFormat.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vst::app::applyPhotoEditorStyle(app);
    vst::project::registerProjectFormat();
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(vst::app::appTitle()));
    window.resize(1280, 800);
    window.show();
    return app.exec();
}
