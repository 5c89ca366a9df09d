// A process that saves one file over and over with the program's own save
// code, alternating between two versions, until it is killed. The kill
// campaign starts it, kills it with SIGKILL at a random moment and checks
// that the file is whole, as one version or the other.
//
//   reliability_save_loop ini|settings|working|state FOLDER
//
// It prints "saving" once the first version is on disk, so the campaign
// kills it only once the file exists.

#include "tests/reliability/SaveVersions.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <string>

using namespace tavrik::reliability;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ini|settings|working|state FOLDER\n", argv[0]);
        return 2;
    }
    const std::string kind = argv[1];
    const std::string folder = argv[2];
    // QSettings needs the application's names; the program sets the same.
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(kSettingsApplication));
    const SaveKind* save = saveKindNamed(kind);
    if (save == nullptr || !save->prepare(folder)) {
        std::fprintf(stderr, "%s: cannot prepare %s in %s\n", argv[0], kind.c_str(),
                     folder.c_str());
        return 1;
    }
    if (!save->save(folder, 0)) {
        return 1;
    }
    std::printf("saving\n");
    std::fflush(stdout);
    for (int version = 1;; version = 1 - version) {
        if (!save->save(folder, version)) {
            std::fprintf(stderr, "%s: a save of %s failed\n", argv[0], kind.c_str());
            return 1;
        }
    }
}
