// Base of every automation object that can travel inside a Variant
// (documents, databases, recordsets, workspaces, forms).
#pragma once

#include <memory>
#include <string>

namespace kado::com {

class Object {
public:
    virtual ~Object() = default;
    // The class name a caller sees, e.g. "Document", "Database", "Recordset".
    virtual std::string TypeName() const = 0;
};

using ObjectPtr = std::shared_ptr<Object>;

}  // namespace kado::com
