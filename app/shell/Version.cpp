#include "shell/Version.h"

namespace vantor {

std::string AppCaption() {
    return std::string(kAppTitle) + " v" + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "-" + std::to_string(kVersionRevision);
}

}  // namespace vantor
