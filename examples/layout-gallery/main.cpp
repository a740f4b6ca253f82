#include <QApplication>

#include "GalleryDialog.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kavelmark::GalleryDialog dialog;
    dialog.exec();
    return 0;
}
