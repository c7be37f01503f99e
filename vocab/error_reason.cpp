// The reason of a file error, from its table.
#include "vocab/error_reason.h"

#include "vocab/filling.h"

std::string ErrorReason(int code)
{
    for (const ErrorReasonRow& row : kErrorReasons) {
        if (row.code == code)
            return row.text;
    }
    return FillIn(kOtherErrorReason, {{"code", std::to_string(code)}});
}
