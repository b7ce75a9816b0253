// The smallest Qt Widgets program with a window of the show's size: the
// baseline the start-up time and memory of vantrel are compared against.
//   vantrel-bench-bare            an empty window (no text: no fonts loaded)
//   vantrel-bench-bare --button   plus one push button with a caption, to
//                                 tell the cost of text from the rest
#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setFixedSize(715, 487);
    if (argc > 1 && std::strcmp(argv[1], "--button") == 0) {
        auto* button = new QPushButton(QStringLiteral("Start the show"), &window);
        button->setGeometry(288, 416, 145, 41);
    }
    window.show();
    return QApplication::exec();
}
