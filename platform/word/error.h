// Error catalogue of the document engine: the numbers its objects and its
// package reading throw as com::Error, each with its one description.
#pragma once

#include "platform/com/error.h"

namespace kado::word::err {
inline constexpr com::ErrorCode CommandFailed{4198, "Command failed"};
inline constexpr com::ErrorCode NoDocumentOpen{4248, "This command is not available because no document is open."};
inline constexpr com::ErrorCode NotAvailable{4605, "This method or property is not available."};
inline constexpr com::ErrorCode ValueOutOfRange{4608, "Value out of range"};
inline constexpr com::ErrorCode NumberOutOfRange{5148, "The number must be between 0 and 3."};
inline constexpr com::ErrorCode ColumnsOutOfRange{5149, "The measurement must be between 1 and 63 columns."};
inline constexpr com::ErrorCode BadName{5152, "Unzulässiger Name"};  // of a file or a package part
inline constexpr com::ErrorCode ObjectDeleted{5825, "Object has been deleted."};
inline constexpr com::ErrorCode NoSuchMember{5941, "The requested member of the collection does not exist."};
// A document its author protected: encrypted, or locked against changes.
inline constexpr com::ErrorCode Protected{5408, "Das Dokument ist geschützt"};
// A malformed or unsafe package or part.
inline constexpr com::ErrorCode BadPackage{5981, "Das Dokument ist beschädigt"};
}  // namespace kado::word::err
