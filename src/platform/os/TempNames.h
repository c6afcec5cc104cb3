#pragma once
// Unique temporary names.
#include "platform/core/AnsiString.h"

namespace tv::os {
// Path of a new, empty file in `folder` named prefix + random part + ext. The file is
// created here so that no other process can take the same name; "" when it cannot be.
AnsiString MakeTempFileName(const AnsiString& folder, const AnsiString& prefix = "tmp",
                            const AnsiString& ext = AnsiString());
// A table name not used before in any process: letters, digits and '_' only, starting
// with a letter, so it can be pasted into SQL as an identifier. Characters of `prefix`
// outside that set are dropped.
AnsiString MakeTempTableName(const AnsiString& prefix = "tmp");
}  // namespace tv::os
