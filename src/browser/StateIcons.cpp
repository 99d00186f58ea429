#include "StateIcons.h"

#include <QCoreApplication>
#include <array>

// The pictures live in this static library; a program takes them in only when something names them.
static void initStateIconResources() {
    Q_INIT_RESOURCE(StateIcons);
}

namespace StateIcons {

namespace {

struct Cache {
    std::array<QIcon, StateCount> icons;
    bool built = false;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

// The icons are drawn by the SVG icon engine, a plugin the application unloads when it goes: drop
// them with it, and build again if a new application comes.
void releaseCache() {
    cache() = Cache{};
}

// Each state's picture is one SVG resource (src/browser/icons/states), drawn at whatever size the
// list asks for. It is given for selected rows as well: the style would otherwise tint a selected
// icon with the selection colour, and dark state shapes would vanish into the highlight.
QIcon buildIcon(int property) {
    const QString file = QStringLiteral(":/stateicons/%1.svg").arg(property);
    QIcon result;
    result.addFile(file, QSize(), QIcon::Normal);
    result.addFile(file, QSize(), QIcon::Selected);
    return result;
}

} // namespace

QIcon icon(int property) {
    if (property < 0 || property >= StateCount) {
        return {};
    }
    Cache& c = cache();
    if (!c.built) {
        initStateIconResources();
        for (int i = 0; i < StateCount; ++i) {
            c.icons[i] = buildIcon(i);
        }
        c.built = true;
        qAddPostRoutine(releaseCache);
    }
    return c.icons[property];
}

QIcon image(int imageNumber) {
    return icon(imageNumber - FirstStateImage);
}

} // namespace StateIcons
