#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VornReader"));
    QMainWindow window;
    window.setObjectName(QStringLiteral("frmVornReader"));
    window.setWindowTitle(QStringLiteral("VornReader"));
    auto* label = new QLabel(QStringLiteral("VornReader"), &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
