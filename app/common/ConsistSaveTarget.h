#pragma once

#include <string>

namespace vantor {

// A consist window being saved, as the save operation sees it.
class ConsistSaveTarget {
public:
    virtual ~ConsistSaveTarget() = default;

    // The consist's file; empty when it has none yet.
    [[nodiscard]] virtual std::string FileName() const = 0;
    virtual void SetFileName(const std::string& fileName) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // Writes the consist to FileName(); returns true when it was written.
    virtual bool SaveForm(bool quiet) = 0;
};

}  // namespace vantor
