#include "doctor/Finding.h"

namespace doctor {

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return "error";
        case Severity::Warning:
            return "warning";
        case Severity::Note:
            break;
    }
    return "note";
}

int ExitStatus(const std::vector<Finding>& findings) {
    int status = 0;
    for (const Finding& f : findings) {
        if (f.severity == Severity::Error) {
            return 2;
        }
        if (f.severity == Severity::Warning) {
            status = 1;
        }
    }
    return status;
}

}  // namespace doctor
