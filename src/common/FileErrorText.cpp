#include "common/FileErrorText.h"

namespace gvt::common {

QString renameFailureMessage(const platform::FileError& error) {
    QString why;
    switch (error.kind) {
    case platform::FileError::Kind::NotFound:
        why = error.otherPath.isEmpty()
                  ? QStringLiteral("it was not found")
                  : QStringLiteral("the folder \"%1\" was not found").arg(error.otherPath);
        break;
    case platform::FileError::Kind::Exists:
        why = QStringLiteral("\"%1\" already exists").arg(error.otherPath);
        break;
    case platform::FileError::Kind::Denied:
        why = QStringLiteral("permission was denied");
        break;
    case platform::FileError::Kind::Other:
        why = QStringLiteral("the file system refused it");
        break;
    }
    return QStringLiteral("The file \"%1\" could not be renamed: %2.").arg(error.path, why);
}

} // namespace gvt::common
