#pragma once
// The constants of the database layer, numbered as ADO numbers them.
#include <cstdint>

namespace pelmar::db {

enum ObjectState : int32_t { adStateClosed = 0, adStateOpen = 1 };

enum CursorType : int32_t {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3,
};

enum LockType : int32_t {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};

enum CursorLocation : int32_t { adUseServer = 2, adUseClient = 3 };

enum CommandType : int32_t { adCmdUnspecified = -1, adCmdText = 1 };

enum DataType : int32_t { adInteger = 3, adVarChar = 200, adVarWChar = 202 };

enum ParameterDirection : int32_t { adParamInput = 1 };

enum ExecuteOption : int32_t { adOptionUnspecified = -1, adExecuteNoRecords = 128 };

}  // namespace pelmar::db
