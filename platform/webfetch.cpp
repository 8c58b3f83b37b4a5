#include "platform/webfetch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <cstdio>

namespace lumo::platform {

namespace {

using CreateFunction = WebFetcher *(*)(QObject *parent);

QString g_modulePath; // set by tests
CreateFunction g_create = nullptr;
bool g_tried = false;

// Where the module may be. Installed, it sits in the package's module folder (LUMO_MODULE_DIR,
// lib/<triplet>/lumo) beside the program's bin/, whatever the prefix. A program run from the build tree (and
// every test) takes the module built there; a program anywhere else never looks into a build tree.
QStringList ModulePaths()
{
    if (!g_modulePath.isEmpty())
        return {g_modulePath};
    const QString programDir = QCoreApplication::applicationDirPath();
    QStringList paths{
        QDir(programDir).filePath(QStringLiteral("../" LUMO_MODULE_DIR "/" LUMO_WEBFETCH_FILE))};
    const QString buildDir = QFileInfo(QStringLiteral(LUMO_BUILD_DIR)).canonicalFilePath();
    if (!buildDir.isEmpty() && QFileInfo(programDir).canonicalFilePath().startsWith(buildDir + u'/'))
        paths << QStringLiteral(LUMO_WEBFETCH_BUILT);
    return paths;
}

CreateFunction LoadModule()
{
    QStringList errors;
    for (const QString &path : ModulePaths()) {
        if (!QFileInfo::exists(path)) {
            errors << path + QStringLiteral(": no such file");
            continue;
        }
        QLibrary module(path);
        if (auto create = reinterpret_cast<CreateFunction>(module.resolve("lumo_create_web_fetcher")))
            return create; // the module stays loaded for the rest of the run
        errors << module.errorString();
    }
    std::fprintf(stderr, "lumo: the advert stays blank: cannot load the network module (%s)\n",
                 qPrintable(errors.join(QStringLiteral("; "))));
    return nullptr;
}

} // namespace

WebFetcher *CreateWebFetcher(QObject *parent)
{
    if (!g_tried) {
        g_tried = true;
        g_create = LoadModule();
    }
    return g_create ? g_create(parent) : nullptr;
}

namespace detail {

void SetWebFetchModulePath(const QString &path)
{
    g_modulePath = path;
    g_create = nullptr;
    g_tried = false;
}

} // namespace detail

} // namespace lumo::platform
