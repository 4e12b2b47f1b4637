// Error catalogue of the database engine: the numbers its calls throw as
// com::Error, each with its one description.
#pragma once

#include "platform/com/error.h"

namespace kado::dao::err {
inline constexpr com::ErrorCode InvalidArgument{3001, "Invalid argument."};
inline constexpr com::ErrorCode UpdateWithoutEdit{3020, "Update or CancelUpdate without AddNew or Edit."};
inline constexpr com::ErrorCode NoCurrentRecord{3021, "No current record."};
inline constexpr com::ErrorCode FileNotFound{3024, "Could not find file."};
inline constexpr com::ErrorCode ReadOnly{3027, "Cannot update. Database or object is read-only."};
inline constexpr com::ErrorCode CannotOpenDatabase{3049, "Cannot open database."};
inline constexpr com::ErrorCode SyntaxErrorInQuery{3075, "Syntax error in query expression."};
inline constexpr com::ErrorCode TableNotFound{3078, "Cannot find the input table or query."};
inline constexpr com::ErrorCode ServerCallFailed{3146, "Call to the database server failed."};
inline constexpr com::ErrorCode RecordDeleted{3167, "Record is deleted."};
inline constexpr com::ErrorCode WriteConflict{
    3197, "The data has been changed by another user since it was read; the update was not saved."};
inline constexpr com::ErrorCode DatabaseExists{3204, "Database already exists."};
inline constexpr com::ErrorCode Locked{3260, "Could not update; currently locked by another user."};
inline constexpr com::ErrorCode ItemNotFound{3265, "Item not found in this collection."};
inline constexpr com::ErrorCode FileNotDatabase{3343, "Unrecognized database format."};
}  // namespace kado::dao::err
